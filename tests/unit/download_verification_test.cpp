#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "update/download_verification.h"

using namespace testing_support;

namespace {

const std::string kAbcDigest = "a9993e364706816aba3e25717850c26c9cd0d89d";

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring FileWith(const std::string& name, const std::string& bytes) {
  const std::wstring path = MakeScratchFolder(L"hash") + L"\\" + Wide(name);
  EXPECT_TRUE(WriteFileBytes(path, bytes));
  return path;
}

TEST(FileHashTest, Fips180Vectors) {
  const struct {
    const char* name;
    std::string bytes;
    std::string digest;
  } cases[] = {
      {"abc", "abc", kAbcDigest},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {"a million a", std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      // Block boundaries of the reading loop.
      {"8192 bytes", std::string(8192, 'x'), ""},
      {"8193 bytes", std::string(8193, 'x'), ""},
  };
  for (const auto& c : cases) {
    FileHash hash;
    const std::string hex = hash.HexDigestOfFile(FileWith("vector.bin", c.bytes), false);
    EXPECT_EQ(hex.size(), 40u) << c.name;
    if (!c.digest.empty()) {
      EXPECT_EQ(hex, c.digest) << c.name;
    }
    EXPECT_EQ(hash.lastError, 0u);
    EXPECT_EQ(hash.lastErrorText, "");
  }
}

TEST(FileHashTest, EmptyOrMissingFileHasNoDigest) {
  FileHash hash;
  EXPECT_TRUE(hash.DigestOfFile(FileWith("empty.bin", "")).empty());
  EXPECT_EQ(hash.HexDigestOfFile(FileWith("empty.bin", ""), true), "");
  EXPECT_TRUE(hash.DigestOfFile(L"C:\\scratch\\hash\\missing.bin").empty());
}

TEST(FileHashTest, HexDigitsInEitherCaseWithLeadingZeros) {
  const std::wstring path = FileWith("abc.txt", "abc");
  FileHash hash;
  EXPECT_EQ(hash.DigestOfFile(path).size(), 20u);
  // The sixth byte of this digest is 0x06: written with its leading zero.
  EXPECT_EQ(hash.HexDigestOfFile(path, true), "A9993E364706816ABA3E25717850C26C9CD0D89D");
  EXPECT_EQ(hash.HexDigestOfFile(path, false), kAbcDigest);
}

TEST(CryptHashTest, EmptyMessage) {
  // Files of no bytes are never hashed, but the computation itself knows them.
  CryptHash hash;
  ASSERT_TRUE(hash.Begin());
  ASSERT_TRUE(hash.Finish());
  std::string hex;
  for (uint8_t byte : hash.digest()) {
    hex += "0123456789abcdef"[byte >> 4];
    hex += "0123456789abcdef"[byte & 15];
  }
  EXPECT_EQ(hex, "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

TEST(CryptHashTest, EachStepReportsMisuse) {
  CryptHash hash;
  EXPECT_FALSE(hash.Update("x", 1));
  EXPECT_EQ(hash.lastErrorText, "Cryptographic provider not acquired!");
  EXPECT_EQ(hash.lastError, 0u);
  EXPECT_FALSE(hash.Finish());
  EXPECT_EQ(hash.lastErrorText, "Cryptographic provider not acquired!");

  ASSERT_TRUE(hash.Begin());
  EXPECT_EQ(hash.lastErrorText, "");
  EXPECT_FALSE(hash.Begin());
  EXPECT_EQ(hash.lastErrorText, "Cryptographic provider already acquired!");
  EXPECT_EQ(hash.lastError, 0u);

  ASSERT_TRUE(hash.Update("abc", 3));
  ASSERT_TRUE(hash.Finish());
  EXPECT_EQ(hash.digest().size(), 20u);
  EXPECT_EQ(hash.lastErrorText, "");
  // Finished: the provider is gone again, and a new computation can begin.
  EXPECT_FALSE(hash.Update("x", 1));
  EXPECT_TRUE(hash.Begin());
  EXPECT_TRUE(hash.digest().empty());
}

TEST(CheckDownloadFileTest, SizeThenDigestRegardlessOfCase) {
  const std::wstring path = FileWith("abc.txt", "abc");
  const struct {
    const char* name;
    std::wstring hash;
    uint32_t size;
    bool accepted;
  } cases[] = {
      {"lower case", Wide(kAbcDigest), 3, true},
      {"upper case", L"A9993E364706816ABA3E25717850C26C9CD0D89D", 3, true},
      {"mixed case", L"a9993E364706816abA3E25717850c26C9cd0d89D", 3, true},
      {"size too large", Wide(kAbcDigest), 4, false},
      {"size too small", Wide(kAbcDigest), 2, false},
      {"trailing blank", Wide(kAbcDigest) + L" ", 3, false},
      {"leading blank", L" " + Wide(kAbcDigest), 3, false},
      {"other digest", L"84983e441c3bd26ebaae4aa1f95129e5e54670f1", 3, false},
      {"empty hash", L"", 3, false},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckDownloadFile(path, c.hash, c.size), c.accepted) << c.name;
}

TEST(CheckDownloadFileTest, MissingAndEmptyFilesNeverPass) {
  EXPECT_FALSE(CheckDownloadFile(L"C:\\scratch\\nothing.zip", Wide(kAbcDigest), 3));
  const std::wstring empty = FileWith("empty.zip", "");
  EXPECT_FALSE(CheckDownloadFile(empty, L"da39a3ee5e6b4b0d3255bfef95601890afd80709", 0));
  EXPECT_FALSE(CheckDownloadFile(empty, L"", 0));
}

}  // namespace
