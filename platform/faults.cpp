#include "platform/faults.h"

namespace platform {

void Faults::set(Key key, Error error, int times) {
  std::lock_guard<std::mutex> hold(lock_);
  faults_[key] = Fault{error, times};
}

void Faults::clearFaults() {
  std::lock_guard<std::mutex> hold(lock_);
  faults_.clear();
}

Error Faults::take(Key key) {
  std::lock_guard<std::mutex> hold(lock_);
  auto it = faults_.find(key);
  if (it == faults_.end()) return kOk;
  Error error = it->second.error;
  if (it->second.remaining > 0 && --it->second.remaining == 0) faults_.erase(it);
  return error;
}

}  // namespace platform
