// The seam between the wizard and the operating system: one object with a
// part per area (platform/windows.h, platform/network.h, ...).  Every call
// returns an Error (0: success) and can be made to fail with a chosen code
// (failCall).  platform/win32 forwards to the real API, platform/fake keeps
// an in-memory PC.
#pragma once

#include <atomic>
#include <string>

#include "platform/box_prompter.h"
#include "platform/files.h"
#include "platform/message_boxes.h"
#include "platform/network.h"
#include "platform/printing.h"
#include "platform/registry.h"
#include "platform/spooler.h"
#include "platform/windows.h"

namespace platform {

// Every area's table of calls: a backend declares its do... members with
// PLATFORM_EVERY_CALL(PLATFORM_CALL_OVERRIDE).
#define PLATFORM_EVERY_CALL(X)                                                                     \
  PLATFORM_WINDOWS_CALLS(X) PLATFORM_NETWORK_CALLS(X) PLATFORM_SPOOLER_CALLS(X)                    \
  PLATFORM_REGISTRY_CALLS(X) PLATFORM_FILES_CALLS(X) PLATFORM_PRINTING_CALLS(X)

class Platform : public Windows,
                 public MessageBoxes,
                 public Network,
                 public Spooler,
                 public Registry,
                 public Files,
                 public Printing {
 public:
  // Outlives every thread that uses it: destroyed while a thread still says
  // it uses it (threadStarted without threadEnded), it ends the program at
  // once with code 3 rather than let that thread run into freed memory.
  ~Platform() override;

  // Threads that use this object tell it so; a backend that is torn down
  // (the in-memory PC at the end of a test) says `ending` and waits for them.
  void threadStarted() { threads_.fetch_add(1); }
  void threadEnded() { threads_.fetch_sub(1); }
  int threadsRunning() const { return threads_.load(); }
  virtual bool ending() const { return false; }

  // Message boxes owned by the application window.
  Prompter& prompter() { return prompter_; }

  // The full path of one of the system's programs (rundll32.exe): in the
  // system folder, or on Windows 9x in the Windows folder above it, where 9x
  // keeps them.  Fails as the system folder's call does.
  Error systemProgram(const std::string& name, std::string& path);

 private:
  BoxPrompter prompter_{*this};
  std::atomic<int> threads_{0};
};

}  // namespace platform
