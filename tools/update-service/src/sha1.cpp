#include "sha1.h"

#include <cstring>

namespace update_service {
namespace {

std::uint32_t RotateLeft(std::uint32_t value, int bits) {
  return (value << bits) | (value >> (32 - bits));
}

}  // namespace

Sha1::Sha1()
    : state_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u} {}

void Sha1::Update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  total_bytes_ += size;
  if (buffered_ > 0) {
    std::size_t take = sizeof(buffer_) - buffered_;
    if (take > size) take = size;
    std::memcpy(buffer_ + buffered_, bytes, take);
    buffered_ += take;
    bytes += take;
    size -= take;
    if (buffered_ < sizeof(buffer_)) return;
    Compress(buffer_);
    buffered_ = 0;
  }
  for (; size >= sizeof(buffer_); bytes += sizeof(buffer_), size -= sizeof(buffer_)) {
    Compress(bytes);
  }
  std::memcpy(buffer_, bytes, size);
  buffered_ = size;
}

Sha1::Digest Sha1::Finish() {
  const std::uint64_t bit_length = total_bytes_ * 8;
  const std::uint8_t pad_start = 0x80;
  Update(&pad_start, 1);
  const std::uint8_t zero = 0;
  while (buffered_ != 56) Update(&zero, 1);
  std::uint8_t length_bytes[8];
  for (int i = 0; i < 8; ++i) {
    length_bytes[i] = static_cast<std::uint8_t>(bit_length >> (56 - 8 * i));
  }
  Update(length_bytes, sizeof(length_bytes));

  Digest digest;
  for (int i = 0; i < 20; ++i) {
    digest[i] = static_cast<std::uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  }
  return digest;
}

void Sha1::Compress(const std::uint8_t* block) {
  std::uint32_t w[80];
  for (int t = 0; t < 16; ++t) {
    w[t] = (std::uint32_t{block[4 * t]} << 24) | (std::uint32_t{block[4 * t + 1]} << 16) |
           (std::uint32_t{block[4 * t + 2]} << 8) | std::uint32_t{block[4 * t + 3]};
  }
  for (int t = 16; t < 80; ++t) {
    w[t] = RotateLeft(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);
  }

  std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
  for (int t = 0; t < 80; ++t) {
    std::uint32_t f, k;
    if (t < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999u;
    } else if (t < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1u;
    } else if (t < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDCu;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6u;
    }
    const std::uint32_t next = RotateLeft(a, 5) + f + e + k + w[t];
    e = d;
    d = c;
    c = RotateLeft(b, 30);
    b = a;
    a = next;
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
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
