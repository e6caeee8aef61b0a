#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <thread>

#include "app/process_list.h"
#include "system/process_termination.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// A stand-in that runs until it is ended, or until the test sets its event.
const wchar_t kKeepRunning[] = L"wait-event corvanta-never-set";
const wchar_t kRunUntilReleased[] = L"wait-event corvanta-release";

// The stand-in program saved as C:\scratch\programs\<fileName>.
std::wstring StandIn(const std::wstring& fileName) {
  const std::wstring program = MakeScratchFolder(L"programs") + L"\\" + fileName;
  CopyFileW(HelperExePath().c_str(), program.c_str(), FALSE);
  return program;
}

std::vector<std::string> FoundLines(const std::wstring& name, DWORD id) {
  return {"Searching for process " + Narrow(name), "Found process", "PID = " + std::to_string(id)};
}

std::vector<std::string> NotFoundLines(const std::wstring& name) {
  return {"Searching for process " + Narrow(name), "Process not found"};
}

std::wstring OwnFileName() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring full = path;
  return full.substr(full.rfind(L'\\') + 1);
}

// Whichever of `ids` the system's process list names first.
DWORD FirstInProcessList(const std::vector<DWORD>& ids) {
  DWORD first = 0;
  FindProcess([&](const PROCESSENTRY32W& entry) {
    for (DWORD id : ids) {
      if (entry.th32ProcessID == id) first = id;
    }
    return first != 0;
  });
  return first;
}

// Times one call in milliseconds.
template <typename Call>
ULONGLONG Timed(Call call) {
  const ULONGLONG start = GetTickCount64();
  call();
  return GetTickCount64() - start;
}

TEST(TerminateProcessByNameTest, ReturnsTrueWhenNoneRuns) {
  EXPECT_TRUE(TerminateProcessByName(L"Corvanta.exe"));
  EXPECT_EQ(LogMessages(), NotFoundLines(L"Corvanta.exe"));
}

struct RunningCase {
  const char* name;
  const wchar_t* fileName;
  const wchar_t* arguments;
  DWORD releaseAfter;  // ms into the call at which the program ends by itself; 0 never
  DWORD exitCode;      // 1: ended by force
  ULONGLONG shortestCall;
  ULONGLONG longestCall;  // 0: no bound
};

const RunningCase kRunning[] = {
    {"keeps_running_is_ended_after_3_s", L"Corvanta.exe", kKeepRunning, 0, 1, 2900, 0},
    {"name_differs_in_letter_case", L"coRVanta.EXE", kKeepRunning, 0, 1, 2900, 0},
    // The call waits for it, then leaves it be without waiting out the 3 s.
    {"exits_by_itself_within_3_s", L"Corvanta.exe", kRunUntilReleased, 1000, 0, 900, 2900},
};

void PrintTo(const RunningCase& c, std::ostream* out) { *out << c.name; }

class TerminateRunningTest : public ::testing::TestWithParam<RunningCase> {};

TEST_P(TerminateRunningTest, GivesThreeSecondsThenEndsIt) {
  const RunningCase& c = GetParam();
  framework::KernelHandle release = MakeEvent(L"corvanta-release");
  ChildProcess program = ChildProcess::Start(StandIn(c.fileName), c.arguments);
  ASSERT_TRUE(program.started());
  // The program is running before the call starts; it ends on its own a second in.
  std::thread releaser;
  if (c.releaseAfter != 0) {
    releaser = std::thread([&] {
      Sleep(c.releaseAfter);
      SetEvent(release.get());
    });
  }

  bool result = false;
  const ULONGLONG elapsed = Timed([&] { result = TerminateProcessByName(L"Corvanta.exe"); });
  if (releaser.joinable()) releaser.join();

  EXPECT_TRUE(result);
  ASSERT_TRUE(program.WaitForExit(5000));
  EXPECT_EQ(program.ExitCode(), c.exitCode);
  EXPECT_GE(elapsed, c.shortestCall);
  if (c.longestCall != 0) {
    EXPECT_LT(elapsed, c.longestCall);
  }
  EXPECT_EQ(LogMessages(), FoundLines(L"Corvanta.exe", program.id()));
}

INSTANTIATE_TEST_SUITE_P(Programs, TerminateRunningTest, ::testing::ValuesIn(kRunning),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TerminateProcessByNameTest, EndsOnlyTheFirstOfTwoCopiesInTheProcessList) {
  const std::wstring program = StandIn(L"Corvanta.exe");
  ChildProcess one = ChildProcess::Start(program, kKeepRunning);
  ChildProcess two = ChildProcess::Start(program, kKeepRunning);
  ASSERT_TRUE(one.started() && two.started());
  const DWORD first = FirstInProcessList({one.id(), two.id()});
  ChildProcess& ended = first == one.id() ? one : two;
  ChildProcess& spared = first == one.id() ? two : one;

  EXPECT_TRUE(TerminateProcessByName(L"Corvanta.exe"));

  ASSERT_TRUE(ended.WaitForExit(5000));
  EXPECT_EQ(ended.ExitCode(), 1u);
  EXPECT_FALSE(spared.WaitForExit(0));
  EXPECT_EQ(LogMessages(), FoundLines(L"Corvanta.exe", first));
}

TEST(TerminateProcessByNameTest, NeverChoosesTheCallingProcess) {
  const std::wstring ownName = OwnFileName();

  // Alone under its name, this process finds nothing (and lives on).
  EXPECT_TRUE(TerminateProcessByName(ownName));
  EXPECT_EQ(LogMessages(), NotFoundLines(ownName));

  // Beside another program of that name, the other one is chosen, wherever it
  // stands in the process list.
  ChildProcess other = ChildProcess::Start(StandIn(ownName), kKeepRunning);
  ASSERT_TRUE(other.started());
  EXPECT_TRUE(TerminateProcessByName(ownName));
  ASSERT_TRUE(other.WaitForExit(5000));
  EXPECT_EQ(other.ExitCode(), 1u);
  std::vector<std::string> expected = NotFoundLines(ownName);
  for (const std::string& line : FoundLines(ownName, other.id())) expected.push_back(line);
  EXPECT_EQ(LogMessages(), expected);
}

}  // namespace
