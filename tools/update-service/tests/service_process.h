// Runs the update-service binary for a test and learns its port from the
// first line it prints.
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
  // to stderr_file. False with the reason when it does not come up.
  bool Start(const std::vector<std::string>& args, const std::string& stderr_file,
             std::string& error);

  // Sends SIGTERM and returns the exit status, or -1 when it did not exit normally.
  int Stop();

  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace update_service::testing
