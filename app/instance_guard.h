// One installation at a time on the whole machine: a named mutex in the
// global namespace, which the wizard holds for its life and an unattended
// run for its run, whatever session and account each runs in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/windows.h"

namespace app {

// The mutex's name: in the global namespace on Windows 2000 and later, a
// plain name where the system has no namespaces.
std::string guardName(std::uint8_t osMajorVersion);

class InstanceGuard {
 public:
  InstanceGuard(platform::Windows& os, std::uint8_t osMajorVersion)
      : os_(os), name_(guardName(osMajorVersion)) {}
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Takes the guard if it is free.  False when another process holds it
  // (a process of another account that keeps this one out holds it too),
  // or when it cannot be made: error() says which.
  bool tryTake();
  // Tries until it is taken or `ms` have passed, every quarter second.
  bool take(unsigned ms);
  // The last try's failure: 0 when another process holds it, 5 when
  // another account's process holds it, else the code of the failed call.
  platform::Error error() const { return error_; }

 private:
  platform::Windows& os_;
  std::string name_;
  platform::MutexId mutex_ = 0;
  platform::Error error_ = platform::kOk;
};

}  // namespace app
