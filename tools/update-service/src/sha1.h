// SHA-1 digests of package files. Installers accept a download only when its
// digest matches the announced one. The service takes SHA-1 from OpenSSL's
// libcrypto, so what it announces does not come from the installer's code.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

typedef struct evp_md_ctx_st EVP_MD_CTX;

namespace update_service {

class Sha1 {
 public:
  using Digest = std::array<std::uint8_t, 20>;

  // Throws std::runtime_error when libcrypto cannot compute SHA-1.
  Sha1();
  ~Sha1();
  Sha1(const Sha1&) = delete;
  Sha1& operator=(const Sha1&) = delete;

  void Update(const void* data, std::size_t size);

  // Completes the computation; the object must not be updated afterwards.
  Digest Finish();

  static std::string ToHex(const Digest& digest);

 private:
  EVP_MD_CTX* context_;
};

// Lower-case hexadecimal digest of a byte string.
std::string Sha1Hex(const std::string& data);

}  // namespace update_service
