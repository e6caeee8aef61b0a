#include "options.h"

#include <cmath>
#include <cstdlib>

namespace update_service {

const char* UsageText() {
  return "usage: update-service --release DIR --port N [--fault ROUTE:KIND[=ARG]]...\n"
         "                      [--log FILE] [--exit-after SECONDS] [--stop-file PATH]\n"
         "                      [--cert FILE --key FILE]\n"
         "\n"
         "Serves the release in DIR (described by DIR/release.json) on 127.0.0.1:N;\n"
         "--port 0 picks a free port. The first line on stdout names the address.\n"
         "With --cert and --key (PEM) it serves HTTPS. It stops on SIGTERM, SIGINT,\n"
         "after --exit-after, or once the --stop-file PATH exists.\n"
         "\n"
         "ROUTE: type1, type2, type3 (update queries), file:NAME (a download), all\n"
         "KIND:  status=CODE  redirect=[CODE,]TARGET  drop\n"
         "       body=TEXT  body-file=PATH  bom  chunked  no-length\n"
         "       cut=BYTES  stall=BYTES,SECONDS  delay=SECONDS  times=N\n"
         "       size=+N|-N|N  hash=HEX|upper|wrong  url=TEXT   (update queries only)\n"
         "See README.md for what each fault does.\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error) {
  options = Options{};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      return true;
    }
    if (name != "--release" && name != "--port" && name != "--fault" && name != "--log" &&
        name != "--exit-after" && name != "--cert" && name != "--key" && name != "--stop-file") {
      error = "unknown option " + name;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if ((name == "--cert" || name == "--key" || name == "--stop-file") && value.empty()) {
      error = name + " needs a path";
      return false;
    }
    if (name == "--release") {
      options.release_dir = value;
    } else if (name == "--port") {
      char* end = nullptr;
      const long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 0 || port > 65535) {
        error = "--port needs a number from 0 to 65535";
        return false;
      }
      options.port = static_cast<int>(port);
    } else if (name == "--fault") {
      options.faults.push_back(value);
    } else if (name == "--log") {
      options.log_file = value;
    } else if (name == "--cert") {
      options.cert_file = value;
    } else if (name == "--key") {
      options.key_file = value;
    } else if (name == "--stop-file") {
      options.stop_file = value;
    } else {
      char* end = nullptr;
      const double seconds = std::strtod(value.c_str(), &end);
      if (value.empty() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0) {
        error = "--exit-after needs a positive number of seconds";
        return false;
      }
      options.exit_after_seconds = seconds;
    }
  }
  if (options.release_dir.empty()) {
    error = "--release DIR is required";
    return false;
  }
  if (options.port < 0) {
    error = "--port N is required";
    return false;
  }
  if (options.cert_file.empty() != options.key_file.empty()) {
    error = "--cert FILE and --key FILE go together";
    return false;
  }
  return true;
}

}  // namespace update_service
