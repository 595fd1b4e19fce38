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
inline constexpr Error kErrorInvalidHandle = 6;
inline constexpr Error kErrorInvalidParameter = 87;
inline constexpr Error kErrorInsufficientBuffer = 122;
inline constexpr Error kErrorInvalidPrinterName = 1801;

// Each area of the seam numbers its calls with an enum of its own.
enum class Area : int { Windows, Network, Spooler, Registry, Files, Printing };

class Faults {
 public:
  virtual ~Faults() = default;

  // The next `times` calls of `call` fail with `error` (times < 0: all of
  // them).  `error` must not be 0.
  template <class CallEnum>
  void failCall(CallEnum call, Error error, int times = -1) {
    set({areaOf(call), static_cast<int>(call)}, error, times);
  }
  void clearFaults();

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
  };
  void set(Key key, Error error, int times);
  Error take(Key key);

  std::mutex lock_;
  std::map<Key, Fault> faults_;
};

}  // namespace platform
