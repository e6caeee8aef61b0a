#include <gtest/gtest.h>

#include <shlobj.h>

#include <regex>

#include "app/install_log.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::wstring AppData() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE);
  return path;
}

// Seconds since 2000 of a stamp "YYYY-MM-DD, hh:mm:ss", through the system's own calendar.
long long StampSeconds(const SYSTEMTIME& time) {
  FILETIME file{};
  SystemTimeToFileTime(&time, &file);
  ULARGE_INTEGER value{{file.dwLowDateTime, file.dwHighDateTime}};
  return static_cast<long long>(value.QuadPart / 10000000ULL);
}

TEST(InstallLogTest, FirstLineCreatesTheFoldersAndTheFile) {
  const std::wstring velmar = AppData() + L"\\Velmar";
  ASSERT_FALSE(FolderExists(velmar));

  WriteInstallLog(L"Copy ok");

  EXPECT_TRUE(FolderExists(velmar + L"\\Corvanta\\Log"));
  EXPECT_EQ(LogPath(), velmar + L"\\Corvanta\\Log\\Install.log");
  ASSERT_EQ(LogLines().size(), 1u);
  EXPECT_EQ(LogMessages()[0], "Copy ok");
}

TEST(InstallLogTest, LineIsLocalTimeStampHyphenMessageAndCrLf) {
  SYSTEMTIME before{};
  GetLocalTime(&before);
  before.wMilliseconds = 0;
  WriteInstallLog(L"%s and %d", L"text", 42);
  SYSTEMTIME after{};
  GetLocalTime(&after);

  const std::string bytes = ReadFileBytes(LogPath());
  std::smatch match;
  ASSERT_TRUE(std::regex_match(
      bytes, match,
      std::regex(R"((\d{4})-(\d{2})-(\d{2}), (\d{2}):(\d{2}):(\d{2}) - text and 42\r\n)")))
      << bytes;
  SYSTEMTIME stamp{};
  stamp.wYear = static_cast<WORD>(std::stoi(match[1]));
  stamp.wMonth = static_cast<WORD>(std::stoi(match[2]));
  stamp.wDay = static_cast<WORD>(std::stoi(match[3]));
  stamp.wHour = static_cast<WORD>(std::stoi(match[4]));
  stamp.wMinute = static_cast<WORD>(std::stoi(match[5]));
  stamp.wSecond = static_cast<WORD>(std::stoi(match[6]));
  EXPECT_LE(StampSeconds(before), StampSeconds(stamp));
  EXPECT_LE(StampSeconds(stamp), StampSeconds(after));
}

TEST(InstallLogTest, TimeStampPadsEveryField) {
  SYSTEMTIME morning{};
  morning.wYear = 2024;
  morning.wMonth = 3;
  morning.wDay = 7;
  morning.wHour = 9;
  morning.wMinute = 5;
  morning.wSecond = 3;
  EXPECT_EQ(FormatTimeStamp(morning), L"2024-03-07, 09:05:03");
  SYSTEMTIME evening{2031, 12, 0, 31, 23, 59, 58, 999};
  EXPECT_EQ(FormatTimeStamp(evening), L"2031-12-31, 23:59:58");
}

TEST(InstallLogTest, AppendsToWhatIsThere) {
  WriteInstallLog(L"first");
  const std::string firstLine = ReadFileBytes(LogPath());
  WriteInstallLog(L"second");
  WriteInstallLog(L"third");

  const std::string bytes = ReadFileBytes(LogPath());
  EXPECT_EQ(bytes.compare(0, firstLine.size(), firstLine), 0);
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"first", "second", "third"}));
}

TEST(InstallLogTest, OutsideTextIsWrittenVerbatim) {
  const std::wstring path = L"C:\\100%s\\%n%d%%\\Setup.exe";
  WriteInstallLog(L"%s", path.c_str());
  WriteInstallLog(L"cmdline: %s", L"%n%n%s");
  EXPECT_EQ(LogMessages(),
            (std::vector<std::string>{"C:\\100%s\\%n%d%%\\Setup.exe", "cmdline: %n%n%s"}));
}

TEST(InstallLogTest, KeepsSingleByteTextWithCrLfLineEnds) {
  // Latin-1 stays one byte each; anything beyond becomes "?", a surrogate pair one "?".
  WriteInstallLog(L"%s", L"Gr\u00fc\u00dfe \u00ff \u0100 \u4e2d\u6587 \U0001F600.");
  WriteInstallLog(L"two\r\nlines");
  const std::string bytes = ReadFileBytes(LogPath());
  const size_t first = bytes.find(" - ") + 3;
  EXPECT_EQ(bytes.substr(first, bytes.find("\r\n") - first), "Gr\xfc\xdf" "e \xff ? ?? ?.");
  // The file is written as text: every line feed goes out as CR LF.
  EXPECT_NE(bytes.find(" - two\r\r\nlines\r\n"), std::string::npos);
}

TEST(InstallLogTest, LineIsDroppedWhileAnotherProcessHoldsTheFile) {
  WriteInstallLog(L"before");
  const std::wstring name = L"corvanta-log-holder";
  framework::KernelHandle held = MakeEvent(name + L".held");
  framework::KernelHandle release = MakeEvent(name + L".release");
  ChildProcess holder =
      ChildProcess::Start(HelperExePath(), L"hold-file \"" + LogPath() + L"\" " + name);
  ASSERT_TRUE(holder.started());
  ASSERT_EQ(WaitForSingleObject(held.get(), 20000), WAIT_OBJECT_0);

  WriteInstallLog(L"while held");  // returns normally, the line is lost

  SetEvent(release.get());
  ASSERT_TRUE(holder.WaitForExit(20000));
  WriteInstallLog(L"after");
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"before", "after"}));
}

}  // namespace
