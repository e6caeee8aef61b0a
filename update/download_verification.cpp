#include "update/download_verification.h"

#include <shlwapi.h>

#include <cwctype>

namespace {
constexpr DWORD kBlockBytes = 8192;
constexpr DWORD kProviderFlags = CRYPT_VERIFYCONTEXT | CRYPT_MACHINE_KEYSET;
}  // namespace

void CryptHash::ClearError() {
  lastError = 0;
  lastErrorText.clear();
}

void CryptHash::Fail(DWORD error, const char* text) {
  lastError = error;
  lastErrorText = text;
}

bool CryptHash::Begin() {
  ClearError();
  if (provider_ && hash_) {
    Fail(0, "Cryptographic provider already acquired!");
    return false;
  }
  digest_.clear();
  if (!CryptAcquireContextW(provider_.receive(), nullptr, nullptr, PROV_RSA_FULL,
                            kProviderFlags)) {
    Fail(GetLastError(), "Failed to acquire cryptographic context.");
    return false;
  }
  if (!CryptCreateHash(provider_.get(), CALG_SHA1, 0, 0, hash_.receive())) {
    Fail(GetLastError(), "Failed to acquire cryptographic context.");
    provider_.reset();
    return false;
  }
  return true;
}

bool CryptHash::Update(const void* bytes, size_t length) {
  ClearError();
  if (!provider_ || !hash_) {
    Fail(0, "Cryptographic provider not acquired!");
    return false;
  }
  if (!CryptHashData(hash_.get(), static_cast<const BYTE*>(bytes), static_cast<DWORD>(length),
                     0)) {
    Fail(GetLastError(), "Updating hash failed!");
    return false;
  }
  return true;
}

bool CryptHash::Finish() {
  ClearError();
  if (!provider_ || !hash_) {
    Fail(0, "Cryptographic provider not acquired!");
    return false;
  }
  bool done = false;
  DWORD length = 0;
  DWORD size = sizeof(length);
  if (!CryptGetHashParam(hash_.get(), HP_HASHSIZE, reinterpret_cast<BYTE*>(&length), &size, 0)) {
    Fail(GetLastError(), "Failed computing hash length!");
  } else {
    digest_.resize(length);
    if (length != 0) {
      if (CryptGetHashParam(hash_.get(), HP_HASHVAL, digest_.data(), &length, 0)) {
        done = true;
      } else {
        Fail(GetLastError(), "Failed retrieving hash value!");
      }
    }
  }
  if (!done) digest_.clear();
  hash_.reset();
  provider_.reset();
  return done;
}

std::vector<uint8_t> FileHash::DigestOfFile(const std::wstring& path) {
  framework::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                                           nullptr));
  if (!file) return {};
  LARGE_INTEGER measured{};
  if (!GetFileSizeEx(file.get(), &measured) || measured.QuadPart == 0) return {};
  const uint64_t size = static_cast<uint64_t>(measured.QuadPart);

  CryptHash hash;
  if (hash.Begin()) {
    std::vector<uint8_t> block(kBlockBytes);
    uint64_t done = 0;
    bool fed = true;
    while (done < size && fed) {
      const DWORD wanted = static_cast<DWORD>(size - done < kBlockBytes ? size - done : kBlockBytes);
      DWORD read = 0;
      // A file that shrank while it is read delivers nothing more: stop there.
      if (!ReadFile(file.get(), block.data(), wanted, &read, nullptr) || read == 0) break;
      fed = hash.Update(block.data(), read);
      done += read;
    }
    if (fed && done == size) hash.Finish();
  }
  lastError = hash.lastError;
  lastErrorText = hash.lastErrorText;
  return hash.digest();
}

std::string FileHash::HexDigestOfFile(const std::wstring& path, bool upperCase) {
  const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string text;
  for (uint8_t byte : DigestOfFile(path)) {
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
  }
  return text;
}

bool CheckDownloadFile(const std::wstring& path, const std::wstring& expectedHash,
                       uint32_t expectedSize) {
  if (!PathFileExistsW(path.c_str())) return false;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  // Packages of 2 GiB or more have never been accepted.
  if (size != expectedSize || size >= 0x80000000ULL) return false;

  FileHash hasher;
  const std::string digest = hasher.HexDigestOfFile(path, false);
  std::wstring computed(digest.begin(), digest.end());
  std::wstring expected = expectedHash;
  for (wchar_t& c : computed) c = static_cast<wchar_t>(std::towlower(c));
  for (wchar_t& c : expected) c = static_cast<wchar_t>(std::towlower(c));
  return !computed.empty() && computed == expected;
}
