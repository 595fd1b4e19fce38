// The seam between the wizard and the operating system.  Every call the
// wizard makes to Windows goes through this class; platform/win32 forwards
// to the real API, platform/fake keeps an in-memory PC.  Any call can be
// made to fail with a chosen error code (failCall), in both backends.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using WindowId = std::uintptr_t;  // 0: no window

enum class Call : int {
  GetVersion,
  FindWindow,
  SetForegroundWindow,
  SetWindowText,
  MessageBox,
  ShellExecute,
  Count
};

enum class Buttons { Ok, YesNo };
enum class Icon { None, Stop, Question, Information };
// The values MessageBoxA returns; Failed when the box could not be shown.
enum class Answer { Failed = 0, Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// A request to the shell (ShellExecuteExA).
struct ShellRequest {
  std::uint32_t mask = 0;
  platform::WindowId owner = 0;
  std::string verb, file, parameters, directory;
  int show = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The next `times` calls of `call` fail with `error` (times < 0: all).
  void failCall(Call call, std::uint32_t error, int times = -1);
  void clearFaults();
  // The error code of the last call that failed.
  std::uint32_t lastError() const { return lastError_; }

  // Low byte of the version number: 4 for Windows 9x and NT 4, 5 for 2000/XP.
  std::uint8_t osMajorVersion();
  // A top-level window by class and title; cls empty matches any class.
  WindowId findWindow(const std::string& cls, const std::string& title);
  bool setForegroundWindow(WindowId window);
  bool setWindowText(WindowId window, const std::string& text);

  // The application window and title own the plain message dialogs.
  void setApplication(WindowId window, const std::string& title);
  WindowId applicationWindow() const { return appWindow_; }
  const std::string& applicationTitle() const { return appTitle_; }

  // A message box; caption empty gives the system's default caption.
  Answer messageBox(WindowId owner, const std::string& text, const std::string& caption,
                    Buttons buttons, Icon icon);
  // The plain message dialog: application title, OK, no icon.
  void showMessage(const std::string& text);

  bool shellExecute(const ShellRequest& request);
  virtual void sleep(unsigned ms) = 0;
  // Milliseconds since some start; wraps like GetTickCount.
  virtual std::uint32_t tickCount() = 0;

 protected:
  virtual std::uint32_t doGetVersion() = 0;
  virtual WindowId doFindWindow(const std::string& cls, const std::string& title) = 0;
  virtual bool doSetForegroundWindow(WindowId window) = 0;
  virtual bool doSetWindowText(WindowId window, const std::string& text) = 0;
  virtual Answer doMessageBox(WindowId owner, const std::string& text,
                              const std::string& caption, Buttons buttons, Icon icon) = 0;
  virtual bool doShellExecute(const ShellRequest& request) = 0;

  // Backends report a failed real call here, with its error code.
  void fail(std::uint32_t error) { lastError_ = error; }
  // True (and lastError set) when an injected fault takes this call.
  bool injected(Call call);

 private:
  struct Fault {
    std::uint32_t error;
    int remaining;
  };
  std::array<std::optional<Fault>, static_cast<std::size_t>(Call::Count)> faults_{};
  std::uint32_t lastError_ = 0;
  WindowId appWindow_ = 0;
  std::string appTitle_;
};

}  // namespace platform
