#include <gtest/gtest.h>

#include "app/user_folders.h"
#include "system/font_install.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

std::wstring InstalledFontPath() {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\Fonts\\Roboto-Regular.ttf";
}

std::wstring TempCopyPath() { return CurrentUserFolders().tempFolder + L"\\Roboto-Regular.ttf"; }

bool HasFontLine(const std::vector<std::string>& messages) {
  return FindLogMessage(messages, "Font installed") >= 0 ||
         FindLogMessage(messages, "Release font file failed") >= 0;
}

TEST(InstallFontTest, FirstRunInstallsRegistersAndKeepsTheTempCopy) {
  ASSERT_FALSE(FileExists(InstalledFontPath()));

  InstallFont();

  EXPECT_TRUE(ReadFileBytes(InstalledFontPath()) == ReadFileBytes(FontSourcePath()));
  EXPECT_TRUE(FileExists(TempCopyPath()));
  EXPECT_FALSE(HasFontLine(LogMessages()));

  const RegistryValue value =
      ReadRegistryValue(HKEY_LOCAL_MACHINE, kFontsRegistryKey, kFontRegistryValue);
  ASSERT_TRUE(value.found);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.text(), L"Roboto-Regular.ttf");
  EXPECT_EQ(value.bytes.size(), sizeof(L"Roboto-Regular.ttf"));  // the terminating null included

  // The same value as Wine's own reg.exe reads it.
  const std::string query = RunAndCapture(
      L"reg.exe query \"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\" /v "
      L"\"Roboto-Regular (TrueType)\" /reg:32");
  EXPECT_NE(query.find("REG_SZ"), std::string::npos) << query;
  EXPECT_NE(query.find("Roboto-Regular.ttf"), std::string::npos) << query;
}

TEST(InstallFontTest, SecondRunLogsInstalledAndDeletesTheTempCopy) {
  InstallFont();
  ASSERT_FALSE(HasFontLine(LogMessages()));

  InstallFont();

  const std::vector<std::string> messages = LogMessages();
  EXPECT_EQ(messages.back(), "Font installed");
  EXPECT_FALSE(FileExists(TempCopyPath()));
  EXPECT_TRUE(FileExists(InstalledFontPath()));
}

TEST(InstallFontTest, LeavesADifferentFileOfThatNameAlone) {
  ASSERT_TRUE(WriteFileBytes(InstalledFontPath(), "not a font"));
  InstallFont();
  EXPECT_EQ(ReadFileBytes(InstalledFontPath()), "not a font");
  EXPECT_EQ(LogMessages().back(), "Font installed");
}

TEST(InstallFontTest, ReportsATempFolderThatCannotBeWritten) {
  ProcessUser();
  const std::wstring temp = CurrentUserFolders().tempFolder;
  ASSERT_TRUE(RemoveDirectoryW(temp.c_str()));
  ASSERT_TRUE(WriteFileBytes(temp, "a file where the folder should be"));

  InstallFont();

  EXPECT_EQ(LogMessages().back(), "Release font file failed");
  EXPECT_FALSE(FileExists(InstalledFontPath()));
}

}  // namespace
