// The real Windows calls behind the platform seam, one file per area.
#pragma once

#include "platform/platform.h"

namespace platform {

class Win32Platform : public Platform {
 public:
  void sleep(unsigned ms) override;
  std::uint32_t tickCount() override;

 protected:
  // Every call of the areas' tables (platform/<area>.h), each defined in
  // win32_<area>.cpp, and the two the tables leave out.
  PLATFORM_EVERY_CALL(PLATFORM_CALL_OVERRIDE)
  Error doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                     Buttons buttons, Icon icon, Answer& answer) override;
  std::uint32_t doCallDwordProc(Proc proc) override;
};

// GetLastError as an Error, never 0 for a call that failed.
Error lastWin32Error();

}  // namespace platform
