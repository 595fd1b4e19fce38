// The result shape of every call into the operating system, and the faults
// a test (or a lab run) can make any call return.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace platform {

// 0: the call succeeded; otherwise the system's error code for the failure
// (GetLastError, WSAGetLastError, or the code the function returned).
using Error = std::uint32_t;
inline constexpr Error kOk = 0;
// Codes more than one area gives.
inline constexpr Error kErrorFileNotFound = 2;
inline constexpr Error kErrorPathNotFound = 3;
inline constexpr Error kErrorAccessDenied = 5;
inline constexpr Error kErrorInvalidHandle = 6;
inline constexpr Error kErrorInvalidParameter = 87;
inline constexpr Error kErrorInsufficientBuffer = 122;
inline constexpr Error kErrorAlreadyExists = 183;
inline constexpr Error kErrorNoMoreItems = 259;
inline constexpr Error kErrorInvalidPrinterName = 1801;
// What every call returns once a fault loop has ended the process
// (killAfter): ERROR_PROCESS_ABORTED.
inline constexpr Error kErrorProcessKilled = 1067;

// Each area of the seam numbers its calls with an enum of its own.
enum class Area : int { Windows, Network, Spooler, Registry, Files, Printing };

// Each area lists its calls in one table, PLATFORM_<AREA>_CALLS(X) in
// platform/<area>.h, with a row a call such as
//   X(OpenPrinter, openPrinter, doOpenPrinter,
//     (const std::string& name, OpenMode mode, PrinterHandle& handle),
//     (name, mode, handle), handle = 0)
// that is: the call's number in the area's enum (SpoolerCall::OpenPrinter,
// what failCall names); the public member Error openPrinter(parameters),
// which does the last column (what its outputs hold when it fails; empty:
// nothing), then returns the fault injected for the call if there is one,
// else doOpenPrinter(arguments); and that protected virtual, which each
// backend defines: FakePc in platform/fake/fake_<area>.cpp, Win32Platform in
// platform/win32/win32_<area>.cpp.  The macros below make the enum, the
// members and the backends' declarations (PLATFORM_EVERY_CALL) from a table;
// platform/calls.cpp defines the public members.
#define PLATFORM_CALL_ENUMERATOR(call, name, doName, params, args, reset) call,
#define PLATFORM_CALL_PUBLIC(call, name, doName, params, args, reset) Error name params;
#define PLATFORM_CALL_VIRTUAL(call, name, doName, params, args, reset)                             \
  virtual Error doName params = 0;
#define PLATFORM_CALL_OVERRIDE(call, name, doName, params, args, reset)                            \
  Error doName params override;
#define PLATFORM_CALL_DEFINITION(area, call, name, doName, params, args, reset)                    \
  Error area::name params {                                                                        \
    reset;                                                                                         \
    if (Error e = injected(area##Call::call)) return e;                                            \
    return doName args;                                                                            \
  }

class Faults {
 public:
  virtual ~Faults() = default;

  // The next `times` calls of `call` fail with `error` (times < 0: all of
  // them), after `passing` calls of it that succeed.  `error` must not be 0.
  template <class CallEnum>
  void failCall(CallEnum call, Error error, int times = -1, int passing = 0) {
    set({areaOf(call), static_cast<int>(call)}, error, times, passing);
  }
  void clearFaults();

  // For fault loops, which run the same steps again and again: every call
  // of every area is counted from resetCallCount() on.
  std::uint64_t callCount();
  void resetCallCount();
  // The n-th call from now (1: the next one), whatever it is, fails with
  // `error` and does nothing.
  void failNthCall(std::uint64_t n, Error error);
  // The process ends after its next n calls: every call after them does
  // nothing and fails with kErrorProcessKilled, so the PC stays as the
  // n-th call left it, whatever the dead process goes on to try.
  // revive() is the next start.
  void killAfter(std::uint64_t n);
  void revive();
  bool killed();

 protected:
  // The error of an injected fault that takes this call, or 0.
  template <class CallEnum>
  Error injected(CallEnum call) {
    return take({areaOf(call), static_cast<int>(call)});
  }

 private:
  using Key = std::pair<Area, int>;
  struct Fault {
    Error error;
    int remaining;
    int passing;
  };
  void set(Key key, Error error, int times, int passing);
  Error take(Key key);

  std::mutex lock_;
  std::map<Key, Fault> faults_;
  std::uint64_t calls_ = 0;
  std::uint64_t failAt_ = 0;  // 0: none
  Error failAtError_ = 0;
  bool killing_ = false;
  std::uint64_t killAt_ = 0;  // the calls after this one fail
};

}  // namespace platform
