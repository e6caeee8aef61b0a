#include "test_folder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace update_service::testing {

TestFolder::TestFolder() {
  char pattern[] = "/tmp/update-service-test-XXXXXX";
  if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TestFolder::~TestFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TestFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + File(name));
}

std::string TestFolder::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string PatternBytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  std::uint32_t state = seed * 2654435761u + 1;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string Sha1sumOf(const std::string& path) {
  const std::string command = "sha1sum '" + path + "'";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::string();
  char digest[41] = "";
  const bool read = std::fscanf(pipe, "%40[0-9a-f]", digest) == 1;
  ::pclose(pipe);
  return read ? digest : std::string();
}

}  // namespace update_service::testing
