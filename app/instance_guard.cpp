#include "app/instance_guard.h"

#include "app/state/wizard_state.h"

namespace app {

namespace {
constexpr unsigned kRetryMs = 250;
}

std::string guardName(std::uint8_t osMajorVersion) {
  return osMajorVersion >= 5 ? std::string("Global\\") + kAppTitle : std::string(kAppTitle);
}

InstanceGuard::~InstanceGuard() {
  if (mutex_) os_.releaseMutex(mutex_);
}

bool InstanceGuard::tryTake() {
  if (mutex_) return true;
  error_ = os_.takeMutex(name_, mutex_);
  return mutex_ != 0;
}

bool InstanceGuard::take(unsigned ms) {
  const std::uint32_t start = os_.tickCount();
  const unsigned tries = ms / kRetryMs + 1;
  for (unsigned i = 1;; ++i) {
    if (tryTake()) return true;
    if (i >= tries || os_.tickCount() - start >= ms) return false;
    os_.sleep(kRetryMs);
  }
}

}  // namespace app
