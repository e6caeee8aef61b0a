// Size and SHA-1 of package files, recomputed only when a file changes, so a
// tester can rebuild a package without restarting the service.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace update_service {

struct FileFacts {
  std::uint64_t size = 0;
  std::string sha1;  // lower-case hex
};

// Reads the whole file; false with error when it cannot be read.
bool ComputeFileFacts(const std::string& path, FileFacts& facts, std::string& error);

class DigestCache {
 public:
  bool Get(const std::string& path, FileFacts& facts, std::string& error);

 private:
  struct Entry {
    std::uint64_t size = 0;
    std::int64_t mtime_ns = 0;
    FileFacts facts;
  };

  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
};

}  // namespace update_service
