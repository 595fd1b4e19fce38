#include "platform/faults.h"

namespace platform {

void Faults::set(Key key, Error error, int times, int passing) {
  std::lock_guard<std::mutex> hold(lock_);
  faults_[key] = Fault{error, times, passing};
}

void Faults::clearFaults() {
  std::lock_guard<std::mutex> hold(lock_);
  faults_.clear();
}

std::uint64_t Faults::callCount() {
  std::lock_guard<std::mutex> hold(lock_);
  return calls_;
}

void Faults::resetCallCount() {
  std::lock_guard<std::mutex> hold(lock_);
  calls_ = 0;
  failAt_ = 0;
  killing_ = false;
}

void Faults::failNthCall(std::uint64_t n, Error error) {
  std::lock_guard<std::mutex> hold(lock_);
  failAt_ = calls_ + n;
  failAtError_ = error;
}

void Faults::killAfter(std::uint64_t n) {
  std::lock_guard<std::mutex> hold(lock_);
  killAt_ = calls_ + n;
  killing_ = true;
}

void Faults::revive() {
  std::lock_guard<std::mutex> hold(lock_);
  killing_ = false;
  failAt_ = 0;
}

bool Faults::killed() {
  std::lock_guard<std::mutex> hold(lock_);
  return killing_ && calls_ >= killAt_;
}

Error Faults::take(Key key) {
  std::lock_guard<std::mutex> hold(lock_);
  ++calls_;
  if (killing_ && calls_ > killAt_) return kErrorProcessKilled;
  if (failAt_ != 0 && calls_ == failAt_) return failAtError_;
  auto it = faults_.find(key);
  if (it == faults_.end()) return kOk;
  if (it->second.passing > 0) {
    --it->second.passing;
    return kOk;
  }
  Error error = it->second.error;
  if (it->second.remaining > 0 && --it->second.remaining == 0) faults_.erase(it);
  return error;
}

}  // namespace platform
