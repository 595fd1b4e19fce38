// The real Windows calls behind the platform seam.
#pragma once

#include "platform/platform.h"

namespace platform {

class Win32Platform : public Platform {
 public:
  void sleep(unsigned ms) override;
  std::uint32_t tickCount() override;

 protected:
  bool doShellExecute(const ShellRequest& request) override;
  std::uint32_t doGetVersion() override;
  WindowId doFindWindow(const std::string& cls, const std::string& title) override;
  bool doSetForegroundWindow(WindowId window) override;
  bool doSetWindowText(WindowId window, const std::string& text) override;
  Answer doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                      Buttons buttons, Icon icon) override;
};

}  // namespace platform
