// The window manager, message boxes, the shell, the version query, the
// computer name and the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/faults.h"
#include "platform/prompter.h"

namespace platform {

using WindowId = std::uintptr_t;  // 0: no window

enum class WindowsCall : int {
  GetVersion,
  FindWindow,
  SetForegroundWindow,
  SetWindowText,
  MessageBox,
  ShellExecute,
  SendMessage,
  GetComputerName,
};
constexpr Area areaOf(WindowsCall) { return Area::Windows; }

// A request to the shell (ShellExecuteExA).
struct ShellRequest {
  std::uint32_t mask = 0;
  WindowId owner = 0;
  std::string verb, file, parameters, directory;
  int show = 0;
};

inline constexpr unsigned kWmDestroy = 0x0002;
inline constexpr unsigned kWmClose = 0x0010;
inline constexpr Error kErrorInvalidWindowHandle = 1400;

class Windows : public virtual Faults {
 public:
  // GetVersion's whole value.
  Error getVersion(std::uint32_t& version);
  // Its low byte: 4 for Windows 9x and NT 4, 5 for 2000/XP; 0 on failure.
  std::uint8_t osMajorVersion();
  // A top-level window by class and title; cls empty matches any class.
  // `found` is 0 when there is none.
  Error findWindow(const std::string& cls, const std::string& title, WindowId& found);
  Error setForegroundWindow(WindowId window);
  Error setWindowText(WindowId window, const std::string& text);

  // The application window and title own the plain message dialogs.
  void setApplication(WindowId window, const std::string& title);
  WindowId applicationWindow() const { return appWindow_; }
  const std::string& applicationTitle() const { return appTitle_; }

  // A message box; caption empty gives the system's default caption.
  Error messageBox(WindowId owner, const std::string& text, const std::string& caption,
                   Buttons buttons, Icon icon, Answer& answer);
  // The same for callers that only need the answer: Failed when the box
  // could not be shown.
  Answer ask(WindowId owner, const std::string& text, const std::string& caption, Buttons buttons,
             Icon icon);
  // Called with true just before a message box appears and with false once
  // it is answered: the toolkit keeps every page from input meanwhile.
  void setMessageBoxHook(std::function<void(bool shown)> hook) { boxHook_ = std::move(hook); }

  Error shellExecute(const ShellRequest& request);
  Error sendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                    std::intptr_t lParam);
  // The NetBIOS name, at most 15 characters.
  Error computerName(std::string& name);

  // The clock cannot fail.  The in-memory PC's time is virtual.
  virtual void sleep(unsigned ms) = 0;
  // Milliseconds since some start; wraps like GetTickCount.
  virtual std::uint32_t tickCount() = 0;

 protected:
  virtual Error doGetVersion(std::uint32_t& version) = 0;
  virtual Error doFindWindow(const std::string& cls, const std::string& title,
                             WindowId& found) = 0;
  virtual Error doSetForegroundWindow(WindowId window) = 0;
  virtual Error doSetWindowText(WindowId window, const std::string& text) = 0;
  virtual Error doMessageBox(WindowId owner, const std::string& text, const std::string& caption,
                             Buttons buttons, Icon icon, Answer& answer) = 0;
  virtual Error doShellExecute(const ShellRequest& request) = 0;
  virtual Error doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
  virtual Error doComputerName(std::string& name) = 0;

 private:
  WindowId appWindow_ = 0;
  std::string appTitle_;
  std::function<void(bool)> boxHook_;
};

}  // namespace platform
