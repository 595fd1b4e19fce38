// The window manager, the shell, the version query, the computer name, the
// clock, who this process runs as and in which session, and named mutexes.
// Message boxes are platform/message_boxes.h.
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
  X(GetComputerName, computerName, doComputerName, (std::string& name), (name), name.clear())     \
  /* Who this process runs as: its token's user (OpenProcessToken, GetTokenInformation), whether   \
     that is LocalSystem (S-1-5-18), and its account as DOMAIN\user (LookupAccountSidA).  The      \
     9x family has no tokens (120). */                                                            \
  X(GetProcessAccount, processAccount, doProcessAccount, (Account& account), (account),            \
    account = Account{})                                                                           \
  /* ProcessIdToSessionId of this process, looked up at run time: Windows 9x and NT 4.0 lack it    \
     (127). */                                                                                     \
  X(GetSessionId, sessionId, doSessionId, (std::uint32_t& session), (session), session = 0)        \
  /* The account signed in to a session, as DOMAIN\user (WTSQuerySessionInformationA, user and    \
     domain); empty when nobody is.  Without the terminal services' DLL (9x, NT 4.0) 126. */       \
  X(GetSessionUser, sessionUser, doSessionUser, (std::uint32_t session, std::string& account),     \
    (session, account), account.clear())                                                           \
  /* A named mutex, taken without waiting: OpenMutexA, else CreateMutexA with a descriptor that    \
     lets every account open it, then WaitForSingleObject with no time-out.  `mutex` is 0 when     \
     another process owns it; one that another account made and this one may not open fails with  \
     5.  A mutex whose owner ended without releasing it is taken. */                               \
  X(TakeMutex, takeMutex, doTakeMutex, (const std::string& name, MutexId& mutex), (name, mutex),   \
    mutex = 0)                                                                                     \
  /* ReleaseMutex and CloseHandle. */                                                              \
  X(ReleaseMutex, releaseMutex, doReleaseMutex, (MutexId mutex), (mutex), )                        \
  /* GetSystemTime: the date and time in UTC. */                                                   \
  X(GetSystemTime, systemTime, doSystemTime, (SystemTime& time), (time), time = SystemTime{})     \
  /* The machine's architecture and whether this process is a WOW64 guest: IsWow64Process2, else  \
     IsWow64Process, both looked up at run time in kernel32; without either (9x, NT 4.0, 2000) a   \
     32-bit machine.  A 64-bit process is native. */                                             \
  X(GetMachine, machine, doMachine, (Machine& machine), (machine), machine = Machine{})            \
  /* GetModuleFileNameA of the program itself. */                                                 \
  X(GetModuleFileName, programPath, doProgramPath, (std::string& path), (path), path.clear())     \
  /* CreateProcessA of `program` with `commandLine` as its whole command line (the program's       \
     quoted path first), no window of its own asked for; `process` to wait for. */                 \
  X(CreateProcess, startProcess, doStartProcess,                                                   \
    (const std::string& program, const std::string& commandLine, ProcessId& process),             \
    (program, commandLine, process), process = 0)                                                  \
  /* WaitForSingleObject without a time-out, then GetExitCodeProcess and CloseHandle: the process  \
     is one the user runs, waited for as long as it runs. */                                       \
  X(WaitForProcess, waitForProcess, doWaitForProcess,                                              \
    (ProcessId process, std::uint32_t& exitCode), (process, exitCode), exitCode = 0)

// Who a process runs as.
struct Account {
  bool system = false;  // LocalSystem, the account services and deployment tools run as
  std::string name;     // DOMAIN\user
};

// The machine the program runs on.  `guest`: this process is a 32-bit
// program under WOW64 on a 64-bit machine, whose system folder is
// redirected and whose registry is the 32-bit view.
enum class Architecture { X86, X64, Arm64 };
struct Machine {
  Architecture native = Architecture::X86;
  bool guest = false;
  // This process is a 64-bit program (not a guest on a 64-bit machine).
  bool process64() const { return native != Architecture::X86 && !guest; }
  bool operator==(const Machine&) const = default;
};

// A started process; 0 when none.
using ProcessId = std::uintptr_t;

// A mutex this process owns; 0 when none.
using MutexId = std::uintptr_t;

// A moment in UTC, as GetSystemTime gives it.
struct SystemTime {
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

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
inline constexpr Error kErrorCallNotImplemented = 120;

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
