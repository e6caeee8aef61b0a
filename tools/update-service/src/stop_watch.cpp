#include "stop_watch.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

namespace update_service {

bool WaitForStop(const StopConditions& conditions, const std::atomic<bool>& serving) {
  const auto started = std::chrono::steady_clock::now();
  while (serving) {
    const timespec slice{0, 100 * 1000 * 1000};
    const int signal_number = sigtimedwait(&conditions.signals, nullptr, &slice);
    if (signal_number > 0) {
      std::fprintf(stderr, "update-service: stopping on %s\n",
                   signal_number == SIGINT ? "SIGINT" : "SIGTERM");
      return true;
    }
    if (!conditions.stop_file.empty() && ::access(conditions.stop_file.c_str(), F_OK) == 0) {
      std::fprintf(stderr, "update-service: stopping on the stop file %s\n",
                   conditions.stop_file.c_str());
      return true;
    }
    if (conditions.exit_after_seconds) {
      const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
      if (elapsed.count() >= *conditions.exit_after_seconds) {
        std::fprintf(stderr, "update-service: stopping after %g seconds (--exit-after)\n",
                     *conditions.exit_after_seconds);
        return true;
      }
    }
  }
  return false;
}

}  // namespace update_service
