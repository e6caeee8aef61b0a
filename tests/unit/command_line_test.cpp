#include <gtest/gtest.h>

#include <climits>

#include "app/command_line.h"
#include "app/module_path.h"

namespace {

struct GrammarCase {
  const wchar_t* argumentText;
  StartCourse course;
  int top;
  int left;
  const wchar_t* handOverArguments;
};

const GrammarCase kGrammar[] = {
    {L"", StartCourse::Normal, 0, 0, L""},
    {L"7", StartCourse::Normal, 0, 0, L""},
    {L"u", StartCourse::Normal, 0, 0, L""},  // the single letter u is no hand-over
    {L"u 120 340", StartCourse::HandOver, 0, 0, L"120 340"},
    {L"ux", StartCourse::HandOver, 0, 0, L""},
    {L"u  -5 x", StartCourse::HandOver, 0, 0, L" -5 x"},  // passed on unchanged
    {L"U 120 340", StartCourse::NormalWithCleanup, 0, 120, L""},  // only lower-case u
    {L"120 340", StartCourse::NormalWithCleanup, 120, 340, L""},
    {L"120  340", StartCourse::NormalWithCleanup, 120, 340, L""},
    {L" 120 340", StartCourse::NormalWithCleanup, 0, 0, L""},  // first blank at index 0
    {L"120", StartCourse::NormalWithCleanup, 0, 0, L""},       // no blank
    {L"120\t340", StartCourse::NormalWithCleanup, 0, 0, L""},  // a tab is no blank
    {L"-5 +7", StartCourse::NormalWithCleanup, -5, 7, L""},
    {L"+-5 --7", StartCourse::NormalWithCleanup, 0, 0, L""},
    {L"12ab 34cd", StartCourse::NormalWithCleanup, 12, 34, L""},
    {L"abc def", StartCourse::NormalWithCleanup, 0, 0, L""},
    {L"1 2 3", StartCourse::NormalWithCleanup, 1, 2, L""},
    {L"99999999999 -99999999999", StartCourse::NormalWithCleanup, INT_MAX, INT_MIN, L""},
    {L"120 ", StartCourse::NormalWithCleanup, 120, 0, L""},
};

class StartArgumentsTest : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(StartArgumentsTest, ChoosesCourseAndPosition) {
  const GrammarCase& c = GetParam();
  const StartCommand command = ParseStartArguments(c.argumentText);
  EXPECT_EQ(command.course, c.course);
  EXPECT_EQ(command.top, c.top);
  EXPECT_EQ(command.left, c.left);
  EXPECT_EQ(command.handOverArguments, c.handOverArguments);
}

INSTANTIATE_TEST_SUITE_P(Grammar, StartArgumentsTest, ::testing::ValuesIn(kGrammar),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ModulePathTest, SplitsAtTheLastBackslash) {
  const struct {
    const wchar_t* fullPath;
    const wchar_t* folder;
    const wchar_t* fileName;
  } cases[] = {
      {L"C:\\Downloads\\tmpSetup.exe", L"C:\\Downloads", L"tmpSetup.exe"},
      {L"C:\\Setup.exe", L"C:", L"Setup.exe"},
      {L"\\Setup.exe", L"", L""},  // no backslash after the first character
      {L"Setup.exe", L"", L""},
  };
  for (const auto& c : cases) {
    const ModulePathParts parts = SplitModulePath(c.fullPath);
    EXPECT_EQ(parts.fullPath, c.fullPath);
    EXPECT_EQ(parts.folder, c.folder) << c.fullPath;
    EXPECT_EQ(parts.fileName, c.fileName) << c.fullPath;
  }
}

}  // namespace
