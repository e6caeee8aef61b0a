#include <gtest/gtest.h>

#include "app/child_process.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

TEST(RunProgramTest, WaitsForTheChildWhateverItsExitCode) {
  const std::wstring folder = MakeScratchFolder(L"run");
  const std::wstring marker = folder + L"\\done";
  // The helper sleeps, leaves the marker and exits with 1.
  EXPECT_TRUE(RunProgram(SW_HIDE, true, folder, HelperExePath(),
                         L"touch-after 700 \"" + marker + L"\""));
  EXPECT_TRUE(FileExists(marker));
}

TEST(RunProgramTest, FailsForAMissingProgram) {
  const std::wstring folder = MakeScratchFolder(L"run");
  EXPECT_FALSE(RunProgram(SW_SHOW, false, folder, folder + L"\\missing.exe", L""));
  EXPECT_FALSE(RunProgram(SW_HIDE, true, folder, folder + L"\\missing.exe", L""));
}

TEST(RunProgramTest, WithoutWaitingReturnsWhileTheChildRuns) {
  const std::wstring folder = MakeScratchFolder(L"run");
  const std::wstring marker = folder + L"\\late";
  EXPECT_TRUE(RunProgram(SW_HIDE, false, folder, HelperExePath(),
                         L"touch-after 20000 \"" + marker + L"\""));
  EXPECT_FALSE(FileExists(marker));
}

TEST(IsProcessRunningTest, MatchesTheExecutableNameOnly) {
  const std::wstring folder = MakeScratchFolder(L"procs");
  const std::wstring running = folder + L"\\SETUP.EXE";
  ASSERT_TRUE(CopyFileW(HelperExePath().c_str(), running.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(HelperExePath().c_str(), (folder + L"\\Setup.exe.bak").c_str(), FALSE));
  framework::KernelHandle stop = MakeEvent(L"corvanta-setup-stop");
  ChildProcess child = ChildProcess::Start(running, L"wait-event corvanta-setup-stop");
  ASSERT_TRUE(child.started());

  EXPECT_TRUE(IsProcessRunning(L"Setup.exe"));
  EXPECT_TRUE(IsProcessRunning(L"setup.exe"));
  EXPECT_FALSE(IsProcessRunning(L"Setup.exe.bak"));  // only a file of that name
  EXPECT_FALSE(IsProcessRunning(folder + L"\\Setup.exe"));
  EXPECT_FALSE(IsProcessRunning(L"Setup"));

  SetEvent(stop.get());
  ASSERT_TRUE(child.WaitForExit(20000));
  EXPECT_FALSE(IsProcessRunning(L"Setup.exe"));
}

TEST(IsProcessRunningTest, FoldsOnlyTheLettersAToZ) {
  EXPECT_TRUE(SameExecutableName(L"SETUP.EXE", L"setup.exe"));
  EXPECT_FALSE(SameExecutableName(L"\u00c9t\u00e9.exe", L"\u00e9t\u00e9.exe"));
  EXPECT_FALSE(SameExecutableName(L"setup.exe", L"setup.ex"));
}

}  // namespace
