// Shutdown request shared by the signal thread and the request handlers, so
// that stalled and delayed replies end promptly when the service stops.
#pragma once

#include <condition_variable>
#include <mutex>

namespace update_service {

class StopSignal {
 public:
  void Request();
  bool requested() const;

  // Waits the given time; false when a stop was requested before it passed.
  bool SleepFor(double seconds);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool requested_ = false;
};

}  // namespace update_service
