// update-service: a local stand-in for the publisher's update service, for
// testing installers against a release folder before it is published.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "faults.h"
#include "options.h"
#include "release.h"
#include "request_log.h"
#include "service.h"
#include "stop_signal.h"

using namespace update_service;

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "update-service: %s\n", message.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "update-service: %s\n\n%s", error.c_str(), UsageText());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }

  Release release;
  if (!LoadRelease(options.release_dir, release, error)) return Fail(error);
  FaultPlan faults;
  for (const auto& fault : options.faults) {
    if (!faults.Add(fault, error)) return Fail(error);
  }
  if (!faults.CheckAgainst(release, error)) return Fail(error);
  RequestLog log;
  if (!options.log_file.empty() && !log.OpenFile(options.log_file, error)) return Fail(error);

  // Signals are taken by one thread with sigtimedwait, so block them before
  // the server starts its threads, which inherit the mask.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  StopSignal stop;
  UpdateService service(release, faults, log, stop);
  if (!service.WarmUp(error)) return Fail(error);
  if (!service.Bind(options.port, error)) return Fail(error);
  std::printf("listening on http://127.0.0.1:%d\n", service.port());
  std::fflush(stdout);
  for (const auto& fault : options.faults) {
    std::fprintf(stderr, "update-service: fault %s\n", fault.c_str());
  }

  std::atomic<bool> serving{true};
  std::atomic<bool> asked_to_stop{false};
  std::thread watcher([&] {
    std::timespec started;
    clock_gettime(CLOCK_MONOTONIC, &started);
    while (serving) {
      const std::timespec slice{0, 200 * 1000 * 1000};
      const int signal_number = sigtimedwait(&stop_signals, nullptr, &slice);
      if (signal_number > 0) {
        std::fprintf(stderr, "update-service: stopping on %s\n",
                     signal_number == SIGINT ? "SIGINT" : "SIGTERM");
        asked_to_stop = true;
        break;
      }
      if (options.exit_after_seconds) {
        std::timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const double elapsed =
            static_cast<double>(now.tv_sec - started.tv_sec) + (now.tv_nsec - started.tv_nsec) / 1e9;
        if (elapsed >= *options.exit_after_seconds) {
          std::fprintf(stderr, "update-service: stopping after %g seconds (--exit-after)\n",
                       *options.exit_after_seconds);
          asked_to_stop = true;
          break;
        }
      }
    }
    stop.Request();
    service.Stop();
  });

  const bool ok = service.Run();
  serving = false;
  watcher.join();
  if (!ok && !asked_to_stop) return Fail("the server stopped unexpectedly");
  return 0;
}
