// update-service: a local stand-in for the publisher's update service, for
// testing installers against a release folder before it is published.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "faults.h"
#include "options.h"
#include "recording_server.h"
#include "release.h"
#include "request_log.h"
#include "service.h"
#include "stop_signal.h"
#include "stop_watch.h"

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
  std::unique_ptr<RecordingServer> server =
      options.cert_file.empty()
          ? RecordingServer::Plain()
          : RecordingServer::Https(options.cert_file, options.key_file, error);
  if (!server) return Fail(error);

  // Signals are taken by one thread with sigtimedwait, so block them before
  // the server starts its threads, which inherit the mask.
  StopConditions stop_conditions;
  sigemptyset(&stop_conditions.signals);
  sigaddset(&stop_conditions.signals, SIGINT);
  sigaddset(&stop_conditions.signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_conditions.signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  stop_conditions.exit_after_seconds = options.exit_after_seconds;
  stop_conditions.stop_file = options.stop_file;

  StopSignal stop;
  UpdateService service(release, faults, log, stop, std::move(server));
  if (!service.WarmUp(error)) return Fail(error);
  if (!service.Bind(options.port, error)) return Fail(error);
  std::printf("listening on %s://127.0.0.1:%d\n", service.scheme(), service.port());
  std::fflush(stdout);
  for (const auto& fault : options.faults) {
    std::fprintf(stderr, "update-service: fault %s\n", fault.c_str());
  }

  std::atomic<bool> serving{true};
  std::atomic<bool> asked_to_stop{false};
  std::thread watcher([&] {
    asked_to_stop = WaitForStop(stop_conditions, serving);
    stop.Request();
    service.Stop();
  });

  const bool ok = service.Run();
  serving = false;
  watcher.join();
  if (!ok && !asked_to_stop) return Fail("the server stopped unexpectedly");
  return 0;
}
