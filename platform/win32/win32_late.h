// The program imports only Windows' known DLLs (kernel32, user32, gdi32,
// advapi32, msvcrt; the common controls through the manifest).  Windows
// looks for any other DLL in the program's own folder first, and the
// program runs elevated, often from a download folder: a DLL of that name
// left there would run with its rights.  So every other system DLL (the
// spooler, Windows Sockets, the shell, the common dialogs, the IP Helper,
// the installer) is loaded by its full path in the system folder when first
// used, which also keeps start-up from paying for it.
#pragma once

#include <windows.h>
#include <winspool.h>

#include <atomic>
#include <utility>

namespace platform {

// The address of `name` (or an ordinal, MAKEINTRESOURCEA) in the system DLL
// `dll`, loaded from the system folder; null, with GetLastError set, when
// either is missing.  Safe from any thread.
FARPROC lateProc(const char* dll, const char* name);

template <class F>
F lateBound(const char* dll, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(lateProc(dll, name)));
}

// A function of a system DLL, bound on its first call and kept; safe from
// any thread.  Called while the DLL or the function is missing, it returns
// its result type's zero (FALSE, null) with GetLastError set, as a failing
// call of it would; where zero means success (a function that returns an
// error code), check get() first.  Declared with PLATFORM_LATE_FUNCTION.
template <class F>
class LateFunction {
 public:
  constexpr LateFunction(const char* dll, const char* name) : dll_(dll), name_(name) {}

  // The function; null, with GetLastError set, when it cannot be bound.
  F get() const {
    void* bound = bound_.load(std::memory_order_acquire);
    if (!bound) {
      bound = reinterpret_cast<void*>(lateProc(dll_, name_));
      if (bound) bound_.store(bound, std::memory_order_release);
    }
    return reinterpret_cast<F>(bound);
  }

  template <class... A>
  auto operator()(A... args) const -> decltype(std::declval<F>()(args...)) {
    if (F f = get()) return f(args...);
    return {};
  }

 private:
  const char* dll_;
  const char* name_;
  mutable std::atomic<void*> bound_{nullptr};
};

// `fn` of `dll`, with the type the Windows headers declare, as an object
// named like the function, e.g. in a namespace
// `inline PLATFORM_LATE_FUNCTION("winspool.drv", OpenPrinterA);`
#define PLATFORM_LATE_FUNCTION(dll, fn) \
  const ::platform::LateFunction<decltype(&::fn)> fn { dll, #fn }

// The spooler's functions (winspool.drv), for the platform and the
// installer's actions alike.
namespace spool {
inline PLATFORM_LATE_FUNCTION("winspool.drv", OpenPrinterA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", ClosePrinter);
inline PLATFORM_LATE_FUNCTION("winspool.drv", EnumPrintersA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", GetPrinterA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", SetPrinterA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", DocumentPropertiesA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", EnumMonitorsA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", AddMonitorA);
inline PLATFORM_LATE_FUNCTION("winspool.drv", DeleteMonitorA);
}  // namespace spool

// First thing at start: from here on DLLs are looked for in the system
// folder only (SetDefaultDllDirectories: Windows 8, and Vista and 7 with
// update KB2533623) and never in the current folder (SetDllDirectoryA: XP
// SP1 on).  Both are looked up at run time; where neither exists (9x, NT 4)
// nothing changes.
void restrictDllSearch();

}  // namespace platform
