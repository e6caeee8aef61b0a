// The installer as a user meets it: the real program started with chosen
// arguments in this test's prefix, judged by its install log and its window.
#include <gtest/gtest.h>

#include "app/product_names.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::wstring CopyOfSetup(const std::wstring& folderName, const std::wstring& fileName) {
  const std::wstring path = MakeScratchFolder(folderName) + L"\\" + fileName;
  EXPECT_TRUE(CopyFileW(SetupExePath().c_str(), path.c_str(), FALSE));
  return path;
}

// Holding the installer's mutex makes a normal start end right after its
// start-up lines, without a window.
framework::KernelHandle HoldInstallerMutex() {
  return framework::KernelHandle(CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
}

void RunToEnd(const std::wstring& program, const std::wstring& arguments) {
  ChildProcess setup = ChildProcess::Start(program, arguments);
  ASSERT_TRUE(setup.started());
  ASSERT_TRUE(setup.WaitForExit(30000));
  EXPECT_EQ(setup.ExitCode(), 0u);
}

TEST(StartupTest, LogsFoldersThenPathThenCommandLine) {
  framework::KernelHandle mutex = HoldInstallerMutex();
  const std::wstring setup = CopyOfSetup(L"start", L"Setup.exe");
  RunToEnd(setup, L"");

  const std::vector<std::string> messages = LogMessages();
  ASSERT_EQ(messages.size(), 8u);
  EXPECT_EQ(messages[0].rfind("ProcessUser: ", 0), 0u);
  EXPECT_EQ(messages[1].rfind("Original download folder: ", 0), 0u);
  EXPECT_EQ(messages[5], "logon user is process user, skipping replace");
  EXPECT_EQ(messages[6], Narrow(setup));  // the first run installs the font silently
  EXPECT_EQ(messages[7], "cmdline: ");
}

TEST(StartupTest, ArgumentsAppendAnotherRunWithTheFontLineAndTheDeletion) {
  framework::KernelHandle mutex = HoldInstallerMutex();
  const std::wstring setup = CopyOfSetup(L"start", L"Setup.exe");
  RunToEnd(setup, L"");
  const size_t firstRun = LogMessages().size();

  RunToEnd(setup, L"120 340");

  const std::vector<std::string> messages = LogMessages();
  ASSERT_EQ(messages.size(), firstRun + 11);
  EXPECT_EQ(messages[firstRun + 6], "Font installed");
  EXPECT_EQ(messages[firstRun + 7], Narrow(setup));
  EXPECT_EQ(messages[firstRun + 8], "cmdline: 120 340");
  EXPECT_EQ(messages[firstRun + 9], "delete file: C:\\scratch\\start\\tmpSetup.exe");
  EXPECT_EQ(messages[firstRun + 10].rfind("Delete failed", 0), 0u) << messages[firstRun + 10];
}

TEST(StartupTest, PathAndArgumentsWithConversionsAreLoggedVerbatim) {
  framework::KernelHandle mutex = HoldInstallerMutex();
  const std::wstring setup = CopyOfSetup(L"odd %s %n %d %%", L"Setup.exe");
  RunToEnd(setup, L"7 %s%n%x");

  const std::vector<std::string> messages = LogMessages();
  EXPECT_GE(FindLogMessage(messages, Narrow(setup)), 0);
  EXPECT_GE(FindLogMessage(messages, "cmdline: 7 %s%n%x"), 0);
  EXPECT_GE(FindLogMessage(messages, "delete file: C:\\scratch\\odd %s %n %d %%\\tmpSetup.exe"), 0);
}

TEST(StartupTest, RemovesALeftOverCopyWhenStartedWithArguments) {
  framework::KernelHandle mutex = HoldInstallerMutex();
  const std::wstring setup = CopyOfSetup(L"start", L"Setup.exe");
  const std::wstring leftOver = L"C:\\scratch\\start\\tmpSetup.exe";
  ASSERT_TRUE(WriteFileBytes(leftOver, "old copy"));
  RunToEnd(setup, L"5 5");
  EXPECT_FALSE(FileExists(leftOver));
  EXPECT_EQ(LogMessages().back(), "Delete ok");
}

TEST(StartupTest, SecondNormalStartEndsAtOnceWithoutAWindow) {
  const std::wstring setup = CopyOfSetup(L"start", L"Setup.exe");
  ChildProcess first = ChildProcess::Start(setup, L"");
  ASSERT_TRUE(first.started());
  ASSERT_NE(WaitForInstallerWindow(first.id(), 30000), nullptr);

  ChildProcess second = ChildProcess::Start(setup, L"");
  ASSERT_TRUE(second.WaitForExit(30000));
  EXPECT_EQ(CountTopLevelWindowsOf(second.id()), 0);
  EXPECT_FALSE(first.WaitForExit(0));

  // Both runs logged their start-up lines.
  const std::vector<std::string> messages = LogMessages();
  const int firstCommandLine = FindLogMessage(messages, "cmdline: ");
  ASSERT_GE(firstCommandLine, 0);
  EXPECT_GE(FindLogMessage(messages, "cmdline: ", firstCommandLine + 1), 0);

  PostMessageW(WaitForInstallerWindow(first.id(), 0), WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitForExit(30000));
}

TEST(StartupTest, WindowIsCentredWithoutAPositionAndPlacedWithOne) {
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const struct {
    const wchar_t* arguments;
    int left;
    int top;
  } cases[] = {
      {L"", (workArea.right - 580) / 2, (workArea.bottom - 300) / 2},
      {L"120 340", 340, 120},
      {L"-4 77", 77, (workArea.bottom - 300) / 2},
  };
  const std::wstring setup = CopyOfSetup(L"start", L"Setup.exe");
  for (const auto& c : cases) {
    ChildProcess run = ChildProcess::Start(setup, c.arguments);
    HWND window = WaitForInstallerWindow(run.id(), 30000);
    ASSERT_NE(window, nullptr) << Narrow(c.arguments);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, c.left) << Narrow(c.arguments);
    EXPECT_EQ(rect.top, c.top) << Narrow(c.arguments);
    EXPECT_EQ(rect.right - rect.left, 580);
    EXPECT_EQ(rect.bottom - rect.top, 300);
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(run.WaitForExit(30000));
  }
}

}  // namespace
