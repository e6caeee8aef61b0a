// A scratch folder under /tmp, removed with the object.
#pragma once

#include <cstddef>
#include <string>

namespace update_service::testing {

class TestFolder {
 public:
  TestFolder();
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

// Deterministic bytes of every value, so that downloads are checked byte for byte.
std::string PatternBytes(std::size_t size, unsigned seed);

// Lower-case SHA-1 of a file as the sha1sum command computes it, a check that
// shares no code with the service; empty on failure.
std::string Sha1sumOf(const std::string& path);

}  // namespace update_service::testing
