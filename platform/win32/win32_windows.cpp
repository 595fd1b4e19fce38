// The window manager, message boxes, the shell and the kernel's version,
// computer name and clock.
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_late.h"
#include "platform/win32/win32_platform.h"

namespace platform {

namespace {
HWND hwnd(WindowId id) { return reinterpret_cast<HWND>(id); }
constexpr Error kErrorGenFailure = 31;
}  // namespace

Error lastWin32Error() {
  DWORD e = GetLastError();
  return e ? e : kErrorGenFailure;
}

Error Win32Platform::doGetVersion(std::uint32_t& version) {
  version = GetVersion();
  return kOk;
}

Error Win32Platform::doFindWindow(const std::string& cls, const std::string& title,
                                  WindowId& found) {
  found = reinterpret_cast<WindowId>(
      FindWindowA(cls.empty() ? nullptr : cls.c_str(), title.c_str()));
  return kOk;
}

Error Win32Platform::doSetForegroundWindow(WindowId window) {
  return SetForegroundWindow(hwnd(window)) ? kOk : lastWin32Error();
}

Error Win32Platform::doSetWindowText(WindowId window, const std::string& text) {
  return SetWindowTextA(hwnd(window), text.c_str()) ? kOk : lastWin32Error();
}

Error Win32Platform::doMessageBox(WindowId owner, const std::string& text,
                                  const std::string& caption, Buttons buttons, Icon icon,
                                  Answer& answer) {
  UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::None: break;
    case Icon::Stop: type |= MB_ICONSTOP; break;
    case Icon::Question: type |= MB_ICONQUESTION; break;
    case Icon::Information: type |= MB_ICONINFORMATION; break;
  }
  int result = MessageBoxA(hwnd(owner), text.c_str(), caption.empty() ? nullptr : caption.c_str(),
                           type);
  answer = static_cast<Answer>(result);
  return result ? kOk : lastWin32Error();
}

void Win32Platform::sleep(unsigned ms) { Sleep(ms); }

std::uint32_t Win32Platform::tickCount() { return GetTickCount(); }

Error Win32Platform::doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                                   std::intptr_t lParam) {
  SendMessageA(hwnd(window), message, wParam, lParam);
  return kOk;
}

Error Win32Platform::doShellExecute(const ShellRequest& r) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;  // 60 bytes on 32-bit Windows
  info.fMask = r.mask;
  info.hwnd = reinterpret_cast<HWND>(r.owner);
  info.lpVerb = r.verb.empty() ? nullptr : r.verb.c_str();
  info.lpFile = r.file.c_str();
  info.lpParameters = r.parameters.empty() ? nullptr : r.parameters.c_str();
  info.lpDirectory = r.directory.empty() ? nullptr : r.directory.c_str();
  info.nShow = r.show;
  // The shell is only needed here (the Add Printer wizard).
  static PLATFORM_LATE_FUNCTION("shell32.dll", ShellExecuteExA);
  if (!ShellExecuteExA(&info)) return lastWin32Error();
  if (info.hProcess) CloseHandle(info.hProcess);
  return kOk;
}

Error Win32Platform::doComputerName(std::string& name) {
  char buffer[16] = {};  // MAX_COMPUTERNAME_LENGTH + 1
  DWORD size = sizeof buffer;
  if (!GetComputerNameA(buffer, &size)) return lastWin32Error();
  name = buffer;
  return kOk;
}

}  // namespace platform
