// The self-update hand-over between three real processes: the old installer
// (a stand-in that runs until told), the downloaded copy "tmpSetup.exe", and the
// installer it restarts under the old name.
#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

TEST(HandOverTest, CopyWaitsForTheOldInstallerReplacesItAndRestartsIt) {
  const std::wstring folder = MakeScratchFolder(L"downloads");
  const std::wstring target = folder + L"\\Setup.exe";
  const std::wstring copy = folder + L"\\tmpSetup.exe";
  ASSERT_TRUE(WriteFileBytes(target, "the old installer"));
  ASSERT_TRUE(CopyFileW(SetupExePath().c_str(), copy.c_str(), FALSE));
  // The old installer runs under the same name in other letters.
  const std::wstring old = MakeScratchFolder(L"old") + L"\\setup.EXE";
  ASSERT_TRUE(CopyFileW(HelperExePath().c_str(), old.c_str(), FALSE));
  framework::KernelHandle oldMayEnd = MakeEvent(L"corvanta-old-installer");
  ChildProcess oldInstaller = ChildProcess::Start(old, L"wait-event corvanta-old-installer");
  ASSERT_TRUE(oldInstaller.started());

  ChildProcess handOver = ChildProcess::Start(copy, L"u 120 340", folder);
  ASSERT_TRUE(handOver.started());
  EXPECT_FALSE(handOver.WaitForExit(1500));  // still waiting for the old one
  EXPECT_EQ(ReadFileBytes(target), "the old installer");

  SetEvent(oldMayEnd.get());
  ASSERT_TRUE(oldInstaller.WaitForExit(20000));
  ASSERT_TRUE(handOver.WaitForExit(30000));
  EXPECT_TRUE(ReadFileBytes(target) == ReadFileBytes(SetupExePath()));

  HWND window = WaitForWindowTitled(L"Corvanta", 30000);
  ASSERT_NE(window, nullptr);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 340);
  EXPECT_EQ(rect.top, 120);

  const std::vector<std::string> messages = LogMessages();
  const int copyLine = FindLogMessage(
      messages, "copy file from " + Narrow(copy) + " to " + Narrow(target));
  ASSERT_GE(copyLine, 0);
  EXPECT_EQ(messages[copyLine + 1], "Copy ok");
  const int restart = FindLogMessage(messages, "cmdline: 120 340", copyLine);
  ASSERT_GT(restart, copyLine);
  EXPECT_EQ(messages[restart - 1], Narrow(target));
  EXPECT_EQ(messages[restart + 1], "delete file: " + Narrow(copy));
  EXPECT_EQ(messages[restart + 2], "Delete ok");
  EXPECT_FALSE(FileExists(copy));

  DWORD restarted = 0;
  GetWindowThreadProcessId(window, &restarted);
  framework::KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, restarted));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
}

TEST(HandOverTest, ProgramNotNamedTmpEndsAfterTheStartUpLines) {
  const std::wstring folder = MakeScratchFolder(L"downloads");
  const std::wstring setup = folder + L"\\Setup.exe";
  ASSERT_TRUE(CopyFileW(SetupExePath().c_str(), setup.c_str(), FALSE));

  ChildProcess run = ChildProcess::Start(setup, L"u 120 340", folder);
  ASSERT_TRUE(run.WaitForExit(30000));
  EXPECT_EQ(CountTopLevelWindowsOf(run.id()), 0);

  const std::vector<std::string> messages = LogMessages();
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[messages.size() - 2], Narrow(setup));
  EXPECT_EQ(messages.back(), "cmdline: u 120 340");
  EXPECT_EQ(WaitForWindowTitled(L"Corvanta", 1000), nullptr);
}

}  // namespace
