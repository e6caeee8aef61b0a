// The digest itself is libcrypto's; these check our streaming around it
// against published vectors.
#include "sha1.h"

#include <gtest/gtest.h>

#include <string>

#include "file_digest.h"
#include "test_folder.h"

namespace update_service {
namespace {

struct Sha1Case {
  const char* name;
  std::string message;
  const char* digest;
};

// FIPS 180-4 example messages.
const Sha1Case kCases[] = {
    {"empty", "", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
    {"abc", "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
    {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
    // Runs past one block; digest from sha1sum.
    {"66 bytes", "abcdbcdecdefdefgefghfghighijhijkhijklijklmjklmnklmnolmnopmnopqnopq",
     "c6e87ec48fd8ec82adc1ff1f13290225adcb1289"},
    {"million a", std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
};

TEST(Sha1, KnownDigests) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Sha1Hex(c.message), c.digest);
  }
}

TEST(Sha1, PiecewiseUpdatesGiveTheSameDigest) {
  // Piece sizes around the 64-byte block edge.
  for (const auto& c : kCases) {
    for (std::size_t piece : {1, 3, 55, 63, 64, 65, 1000}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
      Sha1 sha;
      for (std::size_t at = 0; at < c.message.size(); at += piece) {
        sha.Update(c.message.data() + at, std::min(piece, c.message.size() - at));
      }
      EXPECT_EQ(Sha1::ToHex(sha.Finish()), c.digest);
    }
  }
}

TEST(Sha1, FileFactsStreamTheWholeFile) {
  // The million-byte case spans many of the reader's 64 KiB blocks.
  testing::TestFolder folder;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    folder.Write("package", c.message);
    FileFacts facts;
    std::string error;
    ASSERT_TRUE(ComputeFileFacts(folder.File("package"), facts, error)) << error;
    EXPECT_EQ(facts.size, c.message.size());
    EXPECT_EQ(facts.sha1, c.digest);
  }
}

}  // namespace
}  // namespace update_service
