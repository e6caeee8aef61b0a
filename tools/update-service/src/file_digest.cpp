#include "file_digest.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "sha1.h"

namespace update_service {

bool ComputeFileFacts(const std::string& path, FileFacts& facts, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  try {
    Sha1 sha;
    std::vector<char> block(1 << 16);
    std::uint64_t size = 0;
    for (;;) {
      const std::size_t got = std::fread(block.data(), 1, block.size(), file.get());
      sha.Update(block.data(), got);
      size += got;
      if (got < block.size()) break;
    }
    if (std::ferror(file.get())) {
      error = "cannot read " + path;
      return false;
    }
    facts.size = size;
    facts.sha1 = Sha1::ToHex(sha.Finish());
  } catch (const std::runtime_error& failure) {
    error = "cannot hash " + path + ": " + failure.what();
    return false;
  }
  return true;
}

bool DigestCache::Get(const std::string& path, FileFacts& facts, std::string& error) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  const auto size = static_cast<std::uint64_t>(info.st_size);
  const std::int64_t mtime_ns =
      static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;

  // Holding the lock while hashing keeps parallel queries from hashing the same large file twice.
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = entries_.find(path);
  if (it != entries_.end() && it->second.size == size && it->second.mtime_ns == mtime_ns) {
    facts = it->second.facts;
    return true;
  }
  FileFacts fresh;
  if (!ComputeFileFacts(path, fresh, error)) return false;
  entries_[path] = Entry{size, mtime_ns, fresh};
  facts = fresh;
  return true;
}

}  // namespace update_service
