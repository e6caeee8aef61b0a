// Fault injection: what a route does wrong, chosen on the command line with
// "--fault ROUTE:KIND[=ARG]". ROUTE is type1, type2, type3 (the update
// queries), file:NAME (a package download) or all. Options for one route
// combine; an option for a concrete route replaces an "all" option of the
// same group (see the kind table in faults.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace update_service {

struct Release;

enum class Framing {
  Length,         // Content-Length announced (the normal case)
  Chunked,        // Transfer-Encoding: chunked, no Content-Length
  CloseDelimited  // neither: the body ends when the connection closes
};

enum class SizeFault { None, Add, Set };
enum class HashFault { None, Replace, Upper, Wrong };

// The faults in force for one request.
struct FaultSet {
  std::vector<std::string> applied;  // the option texts, for the request log

  int status = 0;  // replaces the status code when not 0
  int redirect_status = 0;
  std::string redirect_target;
  bool drop = false;  // close the connection without answering

  bool replace_body = false;
  std::string body;       // inline replacement
  std::string body_file;  // replacement streamed from this file

  bool bom = false;
  Framing framing = Framing::Length;
  std::optional<std::uint64_t> cut_after;
  std::optional<std::uint64_t> stall_at;
  double stall_seconds = 0;
  double delay_seconds = 0;

  // Members of the update-query reply.
  SizeFault size_fault = SizeFault::None;
  std::int64_t size_value = 0;
  HashFault hash_fault = HashFault::None;
  std::string hash_value;
  std::optional<std::string> url;

  bool empty() const { return applied.empty(); }
};

struct FaultOption {
  std::string text;   // as given on the command line
  std::string route;  // "type1".."type3", "all" or "file:NAME"
  std::string kind;
  std::string arg;
  bool has_arg = false;
};

// Splits and checks one option; false with a message naming the option.
bool ParseFaultOption(const std::string& text, FaultOption& option, std::string& error);

// Adds a parsed option to a fault set; false when its argument is malformed.
bool ApplyFaultOption(const FaultOption& option, FaultSet& faults, std::string& error);

// Route key of a package download.
std::string FileRoute(const std::string& file);

class FaultPlan {
 public:
  bool Add(const std::string& text, std::string& error);

  // Checks that every file route names a file of the release.
  bool CheckAgainst(const Release& release, std::string& error) const;

  // Faults for the next request on route. Counts the requests of each route
  // so that "times=N" can switch the faults off after N of them.
  FaultSet Next(const std::string& route);

  // Without counting; for inspection.
  FaultSet Peek(const std::string& route, std::uint64_t request_index) const;

 private:
  std::vector<FaultOption> options_;
  mutable std::mutex mutex_;
  std::map<std::string, std::uint64_t> request_counts_;
};

}  // namespace update_service
