// The window manager, message boxes, the shell and the kernel's version,
// computer name and clock; the process's account and session, and named
// mutexes.
#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <vector>

#include "platform/win32/win32_access.h"
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

Error Win32Platform::doProcessAccount(Account& account) {
  if (GetVersion() & 0x80000000u) return ERROR_CALL_NOT_IMPLEMENTED;  // the 9x family
  std::vector<BYTE> tokenUser;
  if (!processUser(tokenUser)) return lastWin32Error();
  PSID sid = reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;
  account.system = isLocalSystem(sid);
  auto lookupAccountSid =
      lateBound<BOOL(WINAPI*)(LPCSTR, PSID, LPSTR, LPDWORD, LPSTR, LPDWORD, PSID_NAME_USE)>(
          "advapi32.dll", "LookupAccountSidA");
  char name[256] = "", domain[256] = "";
  DWORD nameSize = sizeof name, domainSize = sizeof domain;
  SID_NAME_USE use;
  // An account that cannot be named (a domain out of reach) keeps the name empty.
  if (lookupAccountSid &&
      lookupAccountSid(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
    account.name = std::string(domain) + "\\" + name;
  return kOk;
}

Error Win32Platform::doSessionId(std::uint32_t& session) {
  auto processIdToSessionId =
      lateBound<BOOL(WINAPI*)(DWORD, DWORD*)>("kernel32.dll", "ProcessIdToSessionId");
  if (!processIdToSessionId) return lastWin32Error();
  DWORD id = 0;
  if (!processIdToSessionId(GetCurrentProcessId(), &id)) return lastWin32Error();
  session = id;
  return kOk;
}

Error Win32Platform::doSessionUser(std::uint32_t session, std::string& account) {
  using Query = BOOL(WINAPI*)(HANDLE, DWORD, WTS_INFO_CLASS, LPSTR*, DWORD*);
  auto query = lateBound<Query>("wtsapi32.dll", "WTSQuerySessionInformationA");
  auto release = lateBound<void(WINAPI*)(PVOID)>("wtsapi32.dll", "WTSFreeMemory");
  if (!query || !release) return lastWin32Error();
  std::string parts[2];
  const WTS_INFO_CLASS asked[2] = {WTSUserName, WTSDomainName};
  for (int i = 0; i < 2; ++i) {
    LPSTR text = nullptr;
    DWORD bytes = 0;
    if (!query(WTS_CURRENT_SERVER_HANDLE, session, asked[i], &text, &bytes))
      return lastWin32Error();
    parts[i] = text ? text : "";
    release(text);
  }
  if (!parts[0].empty()) account = parts[1] + "\\" + parts[0];
  return kOk;
}

Error Win32Platform::doTakeMutex(const std::string& name, MutexId& mutex) {
  // Opened for what waiting needs, so that a mutex another account made
  // opens too; made with a descriptor that lets every account do so.
  HANDLE handle = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str());
  if (!handle) {
    if (GetLastError() == ERROR_ACCESS_DENIED) return ERROR_ACCESS_DENIED;
    Descriptor openToAll(Descriptor::OpenToAll);
    handle = CreateMutexA(openToAll.attributes(), FALSE, name.c_str());
    if (!handle) return lastWin32Error();
  }
  DWORD waited = WaitForSingleObject(handle, 0);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
    mutex = reinterpret_cast<MutexId>(handle);
    return kOk;
  }
  Error e = waited == WAIT_TIMEOUT ? kOk : lastWin32Error();
  CloseHandle(handle);
  return e;
}

Error Win32Platform::doReleaseMutex(MutexId mutex) {
  HANDLE handle = reinterpret_cast<HANDLE>(mutex);
  Error e = ReleaseMutex(handle) ? kOk : lastWin32Error();
  if (!CloseHandle(handle) && !e) e = lastWin32Error();
  return e;
}

Error Win32Platform::doSystemTime(SystemTime& time) {
  SYSTEMTIME t;
  GetSystemTime(&t);
  time = {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
  return kOk;
}

}  // namespace platform

namespace platform {

namespace {
constexpr USHORT kMachineUnknown = 0;  // IMAGE_FILE_MACHINE_UNKNOWN: not a guest
constexpr USHORT kMachineArm64 = 0xAA64;
constexpr USHORT kMachineX64 = 0x8664;

// A function of kernel32 that older Windows lack: looked up, never imported,
// so that the program starts where it is missing.
template <class F>
F kernel32Function(const char* name) {
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  return kernel32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel32, name)))
                  : nullptr;
}
}  // namespace

Error Win32Platform::doMachine(Machine& machine) {
  using IsWow64Process2 = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
  if (auto query2 = kernel32Function<IsWow64Process2>("IsWow64Process2")) {
    USHORT process = kMachineUnknown, native = kMachineUnknown;
    if (query2(GetCurrentProcess(), &process, &native)) {
      machine.native = native == kMachineArm64  ? Architecture::Arm64
                       : native == kMachineX64 ? Architecture::X64
                                               : Architecture::X86;
      machine.guest = process != kMachineUnknown;
      return kOk;
    }
  }
#ifdef _WIN64
  // A 64-bit program runs on x64 unless IsWow64Process2 said otherwise.
  machine.native = Architecture::X64;
  return kOk;
#else
  using IsWow64Process = BOOL(WINAPI*)(HANDLE, BOOL*);
  auto query = kernel32Function<IsWow64Process>("IsWow64Process");
  if (!query) return kOk;  // no WOW64 at all: a 32-bit machine
  BOOL wow64 = FALSE;
  if (!query(GetCurrentProcess(), &wow64)) return lastWin32Error();
  if (wow64) machine = {Architecture::X64, true};
  return kOk;
#endif
}

Error Win32Platform::doProgramPath(std::string& path) {
  char buffer[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0) return lastWin32Error();
  if (n >= sizeof buffer) return ERROR_INSUFFICIENT_BUFFER;
  path.assign(buffer, n);
  return kOk;
}

Error Win32Platform::doStartProcess(const std::string& program, const std::string& commandLine,
                                    ProcessId& process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started))
    return lastWin32Error();
  CloseHandle(started.hThread);
  process = reinterpret_cast<ProcessId>(started.hProcess);
  return kOk;
}

Error Win32Platform::doWaitForProcess(ProcessId process, std::uint32_t& exitCode) {
  HANDLE h = reinterpret_cast<HANDLE>(process);
  Error e = kOk;
  DWORD code = 0;
  if (WaitForSingleObject(h, INFINITE) == WAIT_FAILED || !GetExitCodeProcess(h, &code))
    e = lastWin32Error();
  CloseHandle(h);
  if (!e) exitCode = code;
  return e;
}

}  // namespace platform
