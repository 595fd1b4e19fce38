#include "platform/win32/win32_platform.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

namespace {
HWND hwnd(WindowId id) { return reinterpret_cast<HWND>(id); }
}  // namespace

std::uint32_t Win32Platform::doGetVersion() { return GetVersion(); }

WindowId Win32Platform::doFindWindow(const std::string& cls, const std::string& title) {
  HWND found = FindWindowA(cls.empty() ? nullptr : cls.c_str(), title.c_str());
  if (!found) fail(GetLastError());
  return reinterpret_cast<WindowId>(found);
}

bool Win32Platform::doSetForegroundWindow(WindowId window) {
  if (SetForegroundWindow(hwnd(window))) return true;
  fail(GetLastError());
  return false;
}

bool Win32Platform::doSetWindowText(WindowId window, const std::string& text) {
  if (SetWindowTextA(hwnd(window), text.c_str())) return true;
  fail(GetLastError());
  return false;
}

Answer Win32Platform::doMessageBox(WindowId owner, const std::string& text,
                                   const std::string& caption, Buttons buttons, Icon icon) {
  UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case Icon::None: break;
    case Icon::Stop: type |= MB_ICONSTOP; break;
    case Icon::Question: type |= MB_ICONQUESTION; break;
    case Icon::Information: type |= MB_ICONINFORMATION; break;
  }
  int result = MessageBoxA(hwnd(owner), text.c_str(), caption.empty() ? nullptr : caption.c_str(),
                           type);
  if (result == 0) fail(GetLastError());
  return static_cast<Answer>(result);
}

void Win32Platform::sleep(unsigned ms) { Sleep(ms); }

std::uint32_t Win32Platform::tickCount() { return GetTickCount(); }

void Win32Platform::doSendMessage(WindowId window, unsigned message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
  SendMessageA(hwnd(window), message, wParam, lParam);
}

bool Win32Platform::doShellExecute(const ShellRequest& r) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;  // 60 bytes on 32-bit Windows
  info.fMask = r.mask;
  info.hwnd = reinterpret_cast<HWND>(r.owner);
  info.lpVerb = r.verb.empty() ? nullptr : r.verb.c_str();
  info.lpFile = r.file.c_str();
  info.lpParameters = r.parameters.empty() ? nullptr : r.parameters.c_str();
  info.lpDirectory = r.directory.empty() ? nullptr : r.directory.c_str();
  info.nShow = r.show;
  if (ShellExecuteExA(&info)) {
    if (info.hProcess) CloseHandle(info.hProcess);
    return true;
  }
  fail(GetLastError());
  return false;
}

}  // namespace platform
