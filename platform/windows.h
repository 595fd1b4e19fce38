// The window manager, the shell, the version query, the computer name and
// the clock.  Message boxes are platform/message_boxes.h.
#pragma once

#include <cstdint>
#include <string>

#include "platform/faults.h"

namespace platform {

using WindowId = std::uintptr_t;  // 0: no window

// The calls (the format is in platform/faults.h) but the message box, which
// is written out in platform/message_boxes.h.  Adding one: a row here, FakePc::do... in
// platform/fake/fake_windows.cpp and Win32Platform::do... in
// platform/win32/win32_windows.cpp.
#define PLATFORM_WINDOWS_CALLS(X)                                                                  \
  /* GetVersion's whole value. */                                                                  \
  X(GetVersion, getVersion, doGetVersion, (std::uint32_t& version), (version), version = 0)        \
  /* A top-level window by class and title; cls empty matches any class.  `found` is 0 when        \
     there is none. */                                                                             \
  X(FindWindow, findWindow, doFindWindow,                                                          \
    (const std::string& cls, const std::string& title, WindowId& found), (cls, title, found),      \
    found = 0)                                                                                     \
  X(SetForegroundWindow, setForegroundWindow, doSetForegroundWindow, (WindowId window),            \
    (window), )                                                                                    \
  X(SetWindowText, setWindowText, doSetWindowText,                                                 \
    (WindowId window, const std::string& text), (window, text), )                                  \
  X(ShellExecute, shellExecute, doShellExecute, (const ShellRequest& request), (request), )        \
  X(SendMessage, sendMessage, doSendMessage,                                                       \
    (WindowId window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam),              \
    (window, message, wParam, lParam), )                                                           \
  /* The NetBIOS name, at most 15 characters. */                                                   \
  X(GetComputerName, computerName, doComputerName, (std::string& name), (name), name.clear())

enum class WindowsCall : int {
  PLATFORM_WINDOWS_CALLS(PLATFORM_CALL_ENUMERATOR)
  MessageBox,  // platform/message_boxes.h, written out: it also tells the box hook
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
  PLATFORM_WINDOWS_CALLS(PLATFORM_CALL_PUBLIC)
  // GetVersion's low byte: 4 for Windows 9x and NT 4, 5 for 2000/XP; 0 on
  // failure.
  std::uint8_t osMajorVersion();

  // The clock cannot fail.  The in-memory PC's time is virtual.
  virtual void sleep(unsigned ms) = 0;
  // Milliseconds since some start; wraps like GetTickCount.
  virtual std::uint32_t tickCount() = 0;

 protected:
  PLATFORM_WINDOWS_CALLS(PLATFORM_CALL_VIRTUAL)
};

}  // namespace platform
