// The JSON reply to an update query:
// {"result": {"download_url", "version", "size", "hash", "release_notes"}}.
#pragma once

#include <cstdint>
#include <string>

namespace update_service {

struct FaultSet;

struct QueryReply {
  std::string download_url;
  std::string version;
  std::int64_t size = 0;
  std::string hash;
  std::string release_notes;
};

// Applies the size, hash and url faults.
void ApplyQueryFaults(const FaultSet& faults, QueryReply& reply);

std::string ToJson(const QueryReply& reply);

// Percent-encodes everything but unreserved characters, for file names in URLs.
std::string PercentEncode(const std::string& text);

}  // namespace update_service
