#include "stop_signal.h"

#include <chrono>

namespace update_service {

void StopSignal::Request() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
  }
  changed_.notify_all();
}

bool StopSignal::requested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_;
}

bool StopSignal::SleepFor(double seconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  const auto wait = std::chrono::duration<double>(seconds);
  return !changed_.wait_for(lock, wait, [this] { return requested_; });
}

}  // namespace update_service
