#pragma once
#include <windows.h>
#include <wincrypt.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

// One SHA-1 computation over the system's cryptographic provider.
class CryptHash {
 public:
  DWORD lastError = 0;        // error of the last failed step; 0 for failures of its own
  std::string lastErrorText;  // empty when the last step succeeded

  bool Begin();
  bool Update(const void* bytes, size_t length);
  bool Finish();  // fetches the digest and releases provider and hash
  const std::vector<uint8_t>& digest() const { return digest_; }

 private:
  void Fail(DWORD error, const char* text);
  void ClearError();

  framework::CryptProvider provider_;
  framework::CryptHashHandle hash_;
  std::vector<uint8_t> digest_;
};

// The SHA-1 digest of a file, read in blocks.
class FileHash {
 public:
  DWORD lastError = 0;
  std::string lastErrorText;

  // 20 bytes, or empty when the file cannot be read or is empty.
  std::vector<uint8_t> DigestOfFile(const std::wstring& path);
  // Two hex digits per digest byte; empty when there is no digest.
  std::string HexDigestOfFile(const std::wstring& path, bool upperCase);
};

// True when the file exists, has exactly `expectedSize` bytes and its SHA-1
// equals `expectedHash` regardless of letter case.
bool CheckDownloadFile(const std::wstring& path, const std::wstring& expectedHash,
                       uint32_t expectedSize);
