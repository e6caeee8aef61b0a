// SHA-1 digests of package files. Installers accept a download only when its
// digest matches the announced one, so the service computes it itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace update_service {

class Sha1 {
 public:
  using Digest = std::array<std::uint8_t, 20>;

  Sha1();

  void Update(const void* data, std::size_t size);

  // Completes the computation; the object must not be updated afterwards.
  Digest Finish();

  static std::string ToHex(const Digest& digest);

 private:
  void Compress(const std::uint8_t* block);

  std::uint32_t state_[5];
  std::uint8_t buffer_[64];
  std::size_t buffered_ = 0;
  std::uint64_t total_bytes_ = 0;
};

// Lower-case hexadecimal digest of a byte string.
std::string Sha1Hex(const std::string& data);

}  // namespace update_service
