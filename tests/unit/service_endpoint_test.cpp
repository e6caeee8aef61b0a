#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "tests/support/test_support.h"
#include "update/service_endpoint.h"

using namespace testing_support;

namespace {

std::wstring OverridePath() {
  PWSTR downloads = nullptr;
  SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &downloads);
  const std::wstring folder = downloads ? downloads : L"";
  CoTaskMemFree(downloads);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\TestServer.txt";
}

std::string Padded(const std::string& start, size_t size, const std::string& end) {
  return start + std::string(size - start.size() - end.size(), ' ') + end;
}

struct OverrideCase {
  const char* name;
  std::string bytes;  // "<missing>" for no file at all
  std::wstring expected;  // empty: the built-in URL
};

const std::string kValid = "{\"ApplicationUpdate\": \"http://127.0.0.1:8080\"}";

const OverrideCase kOverrides[] = {
    {"missing", "<missing>", L""},
    {"valid", kValid, L"http://127.0.0.1:8080"},
    {"kept_as_written", "{\"ApplicationUpdate\":\" http://h:1/base/ \"}", L" http://h:1/base/ "},
    {"other_members_ignored", "{\"x\":[1,{}],\"ApplicationUpdate\":\"http://a\",\"y\":null}",
     L"http://a"},
    {"member_twice_first_counts", "{\"ApplicationUpdate\":\"http://first\",\"ApplicationUpdate\":\"http://second\"}",
     L"http://first"},
    {"number", "{\"ApplicationUpdate\": 8080}", L""},
    {"object", "{\"ApplicationUpdate\": {\"url\": \"http://a\"}}", L""},
    {"empty_string", "{\"ApplicationUpdate\": \"\"}", L""},
    {"name_in_other_case", "{\"applicationupdate\": \"http://a\"}", L""},
    {"empty_file", "", L""},
    {"array_root", "[" + kValid + "]", L""},
    {"byte_order_mark", "\xEF\xBB\xBF" + kValid, L""},
    {"utf16", std::string("\xFF\xFE{\0\"\0A\0", 8), L""},
    {"comment", "// test\n" + kValid, L""},
    {"trailing_comma", "{\"ApplicationUpdate\": \"http://a\",}", L""},
    {"zero_byte_ends_the_text", kValid + std::string("\0garbage", 8), L"http://127.0.0.1:8080"},
    {"longer_brace_inside_first_1024", Padded(kValid, 1024, "") + "\r\n\r\nmore", L"http://127.0.0.1:8080"},
    {"longer_brace_beyond_1024",
     Padded("{\"ApplicationUpdate\": \"http://127.0.0.1:8080\",", 1030, "\"x\":1}"), L""},
};

class ServerOverrideTest : public ::testing::TestWithParam<OverrideCase> {};

TEST_P(ServerOverrideTest, ChoosesTheBaseUrl) {
  const OverrideCase& c = GetParam();
  const std::wstring path = OverridePath();
  if (c.bytes != "<missing>") {
    ASSERT_TRUE(WriteFileBytes(path, c.bytes));
  }
  const std::wstring expected = c.expected.empty() ? kBuiltInServiceBaseUrl : c.expected;
  EXPECT_EQ(GetServerBaseUrl(), expected);
}

INSTANTIATE_TEST_SUITE_P(Files, ServerOverrideTest, ::testing::ValuesIn(kOverrides),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ServerOverrideTest, FileHeldOpenWithoutSharingGivesTheBuiltInUrl) {
  const std::wstring path = OverridePath();
  ASSERT_TRUE(WriteFileBytes(path, kValid));
  framework::KernelHandle held(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held.valid());
  EXPECT_EQ(GetServerBaseUrl(), kBuiltInServiceBaseUrl);
}

}  // namespace
