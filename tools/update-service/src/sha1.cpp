#include "sha1.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace update_service {
namespace {

void Require(int result, const char* step) {
  if (result != 1) throw std::runtime_error(std::string("libcrypto SHA-1 failed in ") + step);
}

}  // namespace

Sha1::Sha1() : context_(EVP_MD_CTX_new()) {
  if (!context_) throw std::runtime_error("libcrypto SHA-1 failed in EVP_MD_CTX_new");
  if (EVP_DigestInit_ex(context_, EVP_sha1(), nullptr) != 1) {
    EVP_MD_CTX_free(context_);
    throw std::runtime_error("libcrypto SHA-1 failed in EVP_DigestInit_ex");
  }
}

Sha1::~Sha1() { EVP_MD_CTX_free(context_); }

void Sha1::Update(const void* data, std::size_t size) {
  if (size > 0) Require(EVP_DigestUpdate(context_, data, size), "EVP_DigestUpdate");
}

Sha1::Digest Sha1::Finish() {
  Digest digest;
  unsigned int length = 0;
  Require(EVP_DigestFinal_ex(context_, digest.data(), &length), "EVP_DigestFinal_ex");
  if (length != digest.size()) throw std::runtime_error("libcrypto SHA-1 gave a digest of odd size");
  return digest;
}

std::string Sha1::ToHex(const Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(digest.size() * 2);
  for (std::uint8_t byte : digest) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

std::string Sha1Hex(const std::string& data) {
  Sha1 sha;
  sha.Update(data.data(), data.size());
  return Sha1::ToHex(sha.Finish());
}

}  // namespace update_service
