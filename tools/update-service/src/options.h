// Command line of update-service.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace update_service {

struct Options {
  std::string release_dir;
  int port = -1;
  std::vector<std::string> faults;  // "ROUTE:KIND[=ARG]", checked by FaultPlan
  std::string log_file;
  std::optional<double> exit_after_seconds;
  std::string cert_file;  // with key_file: serve HTTPS
  std::string key_file;
  std::string stop_file;  // stop once this path exists
  bool help = false;
};

// False with a message when the command line is malformed.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

const char* UsageText();

}  // namespace update_service
