// The names the download stage forms from what the service sends, and how the
// one progress bar is split between the two downloads.
#include <gtest/gtest.h>

#include <string>

#include "workflow/package_file_name.h"
#include "workflow/progress_shares.h"

namespace {

struct NameCase {
  const wchar_t* name;
  bool plain;
};

class PlainFileNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(PlainFileNameTest, AcceptsOnlyOneHarmlessName) {
  EXPECT_EQ(IsPlainFileName(GetParam().name), GetParam().plain) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, PlainFileNameTest, testing::Values(
    NameCase{L"1.0.21.0.zip", true},
    NameCase{L"2.0-beta 3.zip", true},
    NameCase{L"\x0412\x0435\x0440\x0441\x0438\x044F.zip", true},
    NameCase{L"", false},
    NameCase{L"..\\..\\evil.zip", false},
    NameCase{L"../evil.zip", false},
    NameCase{L"1..2.zip", false},
    NameCase{L"C:evil.zip", false},
    NameCase{L"a:stream.zip", false},
    NameCase{L"a*b.zip", false},
    NameCase{L"a?b.zip", false},
    NameCase{L"a\"b.zip", false},
    NameCase{L"a<b>.zip", false},
    NameCase{L"a|b.zip", false},
    NameCase{L"tab\there.zip", false},
    NameCase{L"zip.", false},
    NameCase{L"zip ", false},
    NameCase{L"CON.zip", false},
    NameCase{L"nul.zip", false},
    NameCase{L"com1.zip", false},
    NameCase{L"LPT9.zip", false},
    NameCase{L"COM10.zip", true},
    NameCase{L"CONSOLE.zip", true}));

TEST(PlainFileNameTest, RefusesAnEmbeddedZero) {
  EXPECT_FALSE(IsPlainFileName(std::wstring(L"1.0\0x.zip", 9)));
}

struct ShareCase {
  uint32_t frameworkSize;
  uint64_t totalBytes;
  int32_t framework;
  int32_t application;
};

class ProgressSharesTest : public testing::TestWithParam<ShareCase> {};

TEST_P(ProgressSharesTest, SplitsTheBarByTheSizes) {
  const ProgressShares shares =
      ComputeProgressShares(GetParam().frameworkSize, GetParam().totalBytes);
  EXPECT_EQ(shares.framework, GetParam().framework);
  EXPECT_EQ(shares.application, GetParam().application);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ProgressSharesTest, testing::Values(
    ShareCase{0, 30000000, 0, 100},               // framework present
    ShareCase{70000000, 100000000, 70, 30},
    ShareCase{1, 300, 0, 100},                    // truncated toward zero
    ShareCase{0, 0, 0, 100},                      // nothing to download: no division
    ShareCase{4000000000u, 4000000000ull + 4000000000ull, 50, 50},  // beyond 32 bits
    ShareCase{500, 100, 100, 0}));                // never beyond the bar

}  // namespace
