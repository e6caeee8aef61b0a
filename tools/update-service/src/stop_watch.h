// What ends the service besides a failure: SIGINT or SIGTERM, the
// --exit-after time limit, or the --stop-file appearing. A test under Wine
// has no handle on this Linux process, so it ends it by creating the file.
#pragma once

#include <signal.h>

#include <atomic>
#include <optional>
#include <string>

namespace update_service {

struct StopConditions {
  sigset_t signals;  // blocked in every thread, taken here with sigtimedwait
  std::optional<double> exit_after_seconds;
  std::string stop_file;  // empty: none
};

// Checks about every 100 ms until one of the conditions holds, says which on
// stderr and returns true; returns false once serving turns false first.
bool WaitForStop(const StopConditions& conditions, const std::atomic<bool>& serving);

}  // namespace update_service
