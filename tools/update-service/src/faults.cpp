#include "faults.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "release.h"

namespace update_service {
namespace {

struct KindInfo {
  const char* name;
  // Kinds of one group contradict each other; a route may use one of a group.
  const char* group;
  bool takes_value;
  bool query_only;  // meaningful only for the JSON reply of an update query
};

const KindInfo kKinds[] = {
    {"status", "reply", true, false},
    {"redirect", "reply", true, false},
    {"drop", "reply", false, false},
    {"body", "body", true, false},
    {"body-file", "body", true, false},
    {"bom", "bom", false, false},
    {"chunked", "framing", false, false},
    {"no-length", "framing", false, false},
    {"cut", "cut", true, false},
    {"stall", "stall", true, false},
    {"delay", "delay", true, false},
    {"times", "times", true, false},
    {"size", "size", true, true},
    {"hash", "hash", true, true},
    {"url", "url", true, true},
};

const KindInfo* FindKind(const std::string& name) {
  for (const auto& kind : kKinds) {
    if (name == kind.name) return &kind;
  }
  return nullptr;
}

bool SameGroup(const std::string& kind, const std::string& other) {
  return std::string(FindKind(kind)->group) == FindKind(other)->group;
}

bool ParseUnsigned(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  value = std::strtoull(text.c_str(), nullptr, 10);
  return errno == 0;
}

bool ParseSeconds(const std::string& text, double& value) {
  if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value) && value <= 86400;
}

bool ParseStatus(const std::string& text, int low, int high, int& status) {
  std::uint64_t value = 0;
  if (!ParseUnsigned(text, value) || value < static_cast<std::uint64_t>(low) ||
      value > static_cast<std::uint64_t>(high)) {
    return false;
  }
  status = static_cast<int>(value);
  return true;
}

bool IsQueryRoute(const std::string& route) {
  return route == "type1" || route == "type2" || route == "type3";
}

}  // namespace

std::string FileRoute(const std::string& file) { return "file:" + file; }

bool ParseFaultOption(const std::string& text, FaultOption& option, std::string& error) {
  option = FaultOption{};
  option.text = text;
  const std::string context = "--fault " + text + ": ";

  std::size_t kind_start;
  if (text.compare(0, 5, "file:") == 0) {
    const std::size_t colon = text.find(':', 5);
    if (colon == std::string::npos || colon == 5) {
      error = context + "expected file:NAME:KIND[=ARG]";
      return false;
    }
    option.route = text.substr(0, colon);
    kind_start = colon + 1;
  } else {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
      error = context + "expected ROUTE:KIND[=ARG]";
      return false;
    }
    option.route = text.substr(0, colon);
    if (!IsQueryRoute(option.route) && option.route != "all") {
      error = context + "unknown route \"" + option.route +
              "\" (expected type1, type2, type3, file:NAME or all)";
      return false;
    }
    kind_start = colon + 1;
  }

  const std::size_t equals = text.find('=', kind_start);
  option.kind = text.substr(kind_start, equals == std::string::npos ? std::string::npos
                                                                    : equals - kind_start);
  if (equals != std::string::npos) {
    option.has_arg = true;
    option.arg = text.substr(equals + 1);
  }

  const KindInfo* kind = FindKind(option.kind);
  if (!kind) {
    error = context + "unknown fault \"" + option.kind + "\"";
    return false;
  }
  if (!kind->takes_value && option.has_arg) {
    error = context + "\"" + option.kind + "\" takes no value";
    return false;
  }
  if (kind->takes_value && !option.has_arg) {
    error = context + "\"" + option.kind + "\" needs a value";
    return false;
  }
  if (kind->query_only && option.route.compare(0, 5, "file:") == 0) {
    error = context + "\"" + option.kind + "\" applies to the update queries only";
    return false;
  }
  // Check the value now so that a typo stops the service at start-up.
  FaultSet scratch;
  return ApplyFaultOption(option, scratch, error);
}

bool ApplyFaultOption(const FaultOption& option, FaultSet& faults, std::string& error) {
  const std::string context = "--fault " + option.text + ": ";
  const KindInfo* kind = FindKind(option.kind);
  if (!kind) {
    error = context + "unknown fault \"" + option.kind + "\"";
    return false;
  }
  const std::string& arg = option.arg;
  const std::string& name = option.kind;

  if (name == "status") {
    if (!ParseStatus(arg, 100, 599, faults.status)) {
      error = context + "expected a status code from 100 to 599";
      return false;
    }
  } else if (name == "redirect") {
    std::string target = arg;
    faults.redirect_status = 302;
    const std::size_t comma = arg.find(',');
    if (comma == 3 && arg.find_first_not_of("0123456789") == 3) {
      if (!ParseStatus(arg.substr(0, 3), 300, 399, faults.redirect_status)) {
        error = context + "expected a redirect status from 300 to 399";
        return false;
      }
      target = arg.substr(4);
    }
    if (target.empty()) {
      error = context + "expected [CODE,]TARGET";
      return false;
    }
    faults.redirect_target = target;
  } else if (name == "drop") {
    faults.drop = true;
  } else if (name == "body") {
    faults.replace_body = true;
    faults.body = arg;
    faults.body_file.clear();
  } else if (name == "body-file") {
    if (!std::ifstream(arg, std::ios::binary)) {
      error = context + "cannot read " + arg;
      return false;
    }
    faults.replace_body = true;
    faults.body.clear();
    faults.body_file = arg;
  } else if (name == "bom") {
    faults.bom = true;
  } else if (name == "chunked") {
    faults.framing = Framing::Chunked;
  } else if (name == "no-length") {
    faults.framing = Framing::CloseDelimited;
  } else if (name == "cut") {
    std::uint64_t bytes = 0;
    if (!ParseUnsigned(arg, bytes)) {
      error = context + "expected a byte count";
      return false;
    }
    faults.cut_after = bytes;
  } else if (name == "stall") {
    const std::size_t comma = arg.find(',');
    std::uint64_t bytes = 0;
    double seconds = 0;
    if (comma == std::string::npos || !ParseUnsigned(arg.substr(0, comma), bytes) ||
        !ParseSeconds(arg.substr(comma + 1), seconds)) {
      error = context + "expected BYTES,SECONDS";
      return false;
    }
    faults.stall_at = bytes;
    faults.stall_seconds = seconds;
  } else if (name == "delay") {
    if (!ParseSeconds(arg, faults.delay_seconds)) {
      error = context + "expected seconds";
      return false;
    }
  } else if (name == "times") {
    std::uint64_t count = 0;
    if (!ParseUnsigned(arg, count)) {
      error = context + "expected a request count";
      return false;
    }
  } else if (name == "size") {
    std::uint64_t magnitude = 0;
    const bool relative = !arg.empty() && (arg[0] == '+' || arg[0] == '-');
    if (!ParseUnsigned(relative ? arg.substr(1) : arg, magnitude) ||
        magnitude > static_cast<std::uint64_t>(INT64_MAX)) {
      error = context + "expected +N, -N or N";
      return false;
    }
    const auto value = static_cast<std::int64_t>(magnitude);
    faults.size_fault = relative ? SizeFault::Add : SizeFault::Set;
    faults.size_value = (relative && arg[0] == '-') ? -value : value;
  } else if (name == "hash") {
    if (arg == "upper") {
      faults.hash_fault = HashFault::Upper;
    } else if (arg == "wrong") {
      faults.hash_fault = HashFault::Wrong;
    } else {
      faults.hash_fault = HashFault::Replace;
      faults.hash_value = arg;
    }
  } else if (name == "url") {
    faults.url = arg;
  }
  faults.applied.push_back(option.text);
  return true;
}

bool FaultPlan::Add(const std::string& text, std::string& error) {
  FaultOption option;
  if (!ParseFaultOption(text, option, error)) return false;
  for (const auto& other : options_) {
    if (other.route == option.route && SameGroup(other.kind, option.kind)) {
      error = "--fault " + text + ": conflicts with --fault " + other.text;
      return false;
    }
  }
  options_.push_back(option);
  return true;
}

bool FaultPlan::CheckAgainst(const Release& release, std::string& error) const {
  for (const auto& option : options_) {
    if (option.route.compare(0, 5, "file:") == 0 && !release.FindFile(option.route.substr(5))) {
      error = "--fault " + option.text + ": release.json names no file \"" +
              option.route.substr(5) + "\"";
      return false;
    }
  }
  return true;
}

FaultSet FaultPlan::Peek(const std::string& route, std::uint64_t request_index) const {
  const bool query = IsQueryRoute(route);
  std::vector<const FaultOption*> chosen;
  for (const auto& option : options_) {
    if (option.route == route) chosen.push_back(&option);
  }
  const std::size_t own_count = chosen.size();
  for (const auto& option : options_) {
    if (option.route != "all") continue;
    if (FindKind(option.kind)->query_only && !query) continue;
    bool overridden = false;
    for (std::size_t i = 0; i < own_count; ++i) {
      if (SameGroup(chosen[i]->kind, option.kind)) overridden = true;
    }
    if (!overridden) chosen.push_back(&option);
  }

  // Past its "times" limit a route behaves normally again.
  for (const FaultOption* option : chosen) {
    if (option->kind == "times" && request_index >= std::strtoull(option->arg.c_str(), nullptr, 10)) {
      return FaultSet{};
    }
  }

  FaultSet faults;
  std::string ignored;
  for (const FaultOption* option : chosen) ApplyFaultOption(*option, faults, ignored);
  return faults;
}

FaultSet FaultPlan::Next(const std::string& route) {
  std::uint64_t index;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    index = request_counts_[route]++;
  }
  return Peek(route, index);
}

}  // namespace update_service
