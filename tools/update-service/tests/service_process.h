// Runs the update-service binary for a test and learns its scheme and port
// from the first line it prints.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace update_service::testing {

class ServiceProcess {
 public:
  ServiceProcess() = default;
  ~ServiceProcess();
  ServiceProcess(const ServiceProcess&) = delete;
  ServiceProcess& operator=(const ServiceProcess&) = delete;

  // Starts the service with args plus a safety --exit-after, its stderr going
  // to stderr_file. False with the reason when it does not come up; the
  // process is then left for WaitForExit.
  bool Start(const std::vector<std::string>& args, const std::string& stderr_file,
             std::string& error);

  // Sends SIGTERM and returns the exit status, or -1 when it did not exit normally.
  int Stop();

  // Waits up to seconds for the service to end by itself and returns its exit
  // status; -1 when it did not exit normally or in time (it is then stopped).
  int WaitForExit(double seconds);

  const std::string& scheme() const { return scheme_; }
  int port() const { return port_; }

 private:
  static int ExitStatus(int wait_status);

  pid_t pid_ = -1;
  std::string scheme_;
  int port_ = 0;
};

}  // namespace update_service::testing
