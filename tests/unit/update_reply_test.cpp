#include <gtest/gtest.h>

#include "update/update_reply.h"
#include "update/version_compare.h"

namespace {

struct ReplyCase {
  const char* name;
  const wchar_t* reply;
  const wchar_t* downloadUrl;
  const wchar_t* version;
  uint32_t size;
  const wchar_t* hash;
  const wchar_t* releaseNotes;
};

#define FULL_RESULT                                                                       \
  L"{\"download_url\":\"http://h/a.zip\",\"version\":\"1.0.22.0\",\"size\":1234,"        \
  L"\"hash\":\"ABCDEF\",\"release_notes\":\"\u65b0\u7248\u672c\"}"

const ReplyCase kReplies[] = {
    {"all_members", L"{\"result\":" FULL_RESULT L"}", L"http://h/a.zip", L"1.0.22.0", 1234,
     L"ABCDEF", L"\u65b0\u7248\u672c"},
    {"blanks_around_and_other_members",
     L" \r\n\t{\"code\":0,\"result\":" FULL_RESULT L",\"x\":[1]}\r\n ", L"http://h/a.zip",
     L"1.0.22.0", 1234, L"ABCDEF", L"\u65b0\u7248\u672c"},
    {"no_result", L"{\"data\":" FULL_RESULT L"}", L"", L"", 0, L"", L""},
    {"null_result", L"{\"result\":null}", L"", L"", 0, L"", L""},
    {"string_result", L"{\"result\":\"ok\"}", L"", L"", 0, L"", L""},
    {"result_twice_first_counts",
     L"{\"result\":{\"version\":\"1\"},\"result\":{\"version\":\"2\"}}", L"", L"1", 0, L"", L""},
    {"size_0", L"{\"result\":{\"download_url\":\"u\",\"version\":\"v\",\"size\":0,\"hash\":\"h\"}}",
     L"u", L"v", 0, L"h", L""},
    {"size_missing", L"{\"result\":{\"download_url\":\"u\",\"version\":\"v\",\"hash\":\"h\"}}",
     L"u", L"v", 0, L"h", L""},
    {"size_as_text", L"{\"result\":{\"size\":\"1234\"}}", L"", L"", 0, L"", L""},
    {"size_fraction", L"{\"result\":{\"size\":12.5}}", L"", L"", 0, L"", L""},
    {"size_exponent", L"{\"result\":{\"size\":1e3}}", L"", L"", 0, L"", L""},
    {"size_beyond_32_bits", L"{\"result\":{\"size\":4294967297}}", L"", L"", 1, L"", L""},
    {"size_negative", L"{\"result\":{\"size\":-1}}", L"", L"", 0xFFFFFFFFu, L"", L""},
    {"members_of_other_types", L"{\"result\":{\"version\":1,\"hash\":null,\"download_url\":[]}}",
     L"", L"", 0, L"", L""},
    {"html_page", L"<html><body>502 Bad Gateway</body></html>", L"", L"", 0, L"", L""},
    {"byte_order_mark", L"\ufeff{\"result\":" FULL_RESULT L"}", L"", L"", 0, L"", L""},
    {"trailing_text", L"{\"result\":" FULL_RESULT L"} done", L"", L"", 0, L"", L""},
    {"second_value", L"{\"result\":" FULL_RESULT L"}{}", L"", L"", 0, L"", L""},
    {"empty", L"", L"", L"", 0, L"", L""},
    {"array_root", L"[{\"result\":" FULL_RESULT L"}]", L"", L"", 0, L"", L""},
};

class UpdateReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(UpdateReplyTest, FillsTheRecord) {
  const ReplyCase& c = GetParam();
  const UpdateInfo record = UpdateInfoFromReply(c.reply);
  EXPECT_EQ(record.downloadUrl, c.downloadUrl);
  EXPECT_EQ(record.version, c.version);
  EXPECT_EQ(record.size, c.size);
  EXPECT_EQ(record.hash, c.hash);
  EXPECT_EQ(record.releaseNotes, c.releaseNotes);
  EXPECT_EQ(record.isCurrent, 0);
  EXPECT_EQ(record.needed, 0);
}

INSTANTIATE_TEST_SUITE_P(Replies, UpdateReplyTest, ::testing::ValuesIn(kReplies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompareVersionsTest, NumbersByNumberOtherwiseText) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    int order;
  } cases[] = {
      // Dotted decimal numbers on both sides: compared number by number.
      {L"1.0.22.0", L"1.0.21.0", 1},
      {L"1.0.21.0", L"1.0.21.0", 0},
      {L"1.0.10.0", L"1.0.9.0", 1},  // as text this would be older
      {L"1.0.3.0", L"1.0.21.0", -1},  // as text this would look newer
      {L"2.0", L"2.0.0", 0},          // a missing trailing number counts as 0
      {L"2.0.1", L"2.0", 1},
      {L"1.02", L"1.2", 0},
      {L"10", L"9", 1},
      {L"123456789012345678901234567890.1", L"123456789012345678901234567890.0", 1},
      // Anything else: UTF-16 text, code unit by code unit.
      {L"", L"1.0.21.0", -1},  // a failed query never looks newer
      {L"", L"", 0},
      {L"1.0.21.0-beta", L"1.0.21.0", 1},
      {L"1.0.10.0b", L"1.0.9.0", -1},
      {L"1..0", L"1.0", -1},
      {L"v2", L"v10", 1},
      {L"1.0.21.0 ", L"1.0.21.0", 1},
      {L"\u00e9", L"z", 1},  // unsigned code units
  };
  for (const auto& c : cases) {
    const int order = CompareVersions(c.a, c.b);
    EXPECT_EQ((order > 0) - (order < 0), c.order)
        << testing::PrintToString(std::wstring(c.a)) << " vs " << testing::PrintToString(std::wstring(c.b));
    const int reverse = CompareVersions(c.b, c.a);
    EXPECT_EQ((reverse > 0) - (reverse < 0), -c.order);
  }
}

}  // namespace
