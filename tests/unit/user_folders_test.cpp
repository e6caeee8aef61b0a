#include <gtest/gtest.h>

#include <lmcons.h>

#include "app/user_folders.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

const ShellUserFolders kAdminShell{
    L"C:\\Users\\admin\\AppData\\Roaming",
    L"C:\\Users\\admin\\Downloads",
    L"C:\\Users\\admin\\Desktop",
};

const std::vector<std::string> kOriginalLines = {
    "Original download folder: C:\\Users\\admin\\Downloads",
    "Original appdata folder: C:\\Users\\admin\\AppData\\Roaming\\Velmar\\Corvanta",
    "Original appdata tmp folder: C:\\Users\\admin\\AppData\\Roaming\\Velmar\\Corvanta\\Temp",
    "Original appdata log folder: C:\\Users\\admin\\AppData\\Roaming\\Velmar\\Corvanta\\Log",
};

struct SubstitutionCase {
  const char* name;
  const wchar_t* processUser;
  const wchar_t* logonUser;
  bool replacing;               // the accounts differ, so the folders are rewritten
  const wchar_t* profileAfter;  // the profile folder every member ends up in
};

const SubstitutionCase kSubstitutions[] = {
    {"same_user", L"admin", L"admin", false, L"C:\\Users\\admin"},
    {"console_user_differs", L"admin", L"anna", true, L"C:\\Users\\anna"},
    {"differs_in_case_only", L"ADMIN", L"admin", false, L"C:\\Users\\admin"},
    {"no_console_user", L"admin", L"", false, L"C:\\Users\\admin"},
    // The names differ, but the replacement itself is case-sensitive: no match.
    {"folder_spelt_otherwise", L"Admin", L"anna", true, L"C:\\Users\\admin"},
};

class ResolveUserFoldersTest : public ::testing::TestWithParam<SubstitutionCase> {};

TEST_P(ResolveUserFoldersTest, MapsFoldersToTheConsoleUser) {
  const SubstitutionCase& c = GetParam();
  const UserFolders folders = ResolveUserFolders(kAdminShell, c.processUser, c.logonUser);

  const std::wstring profile = c.profileAfter;
  EXPECT_EQ(folders.downloadFolder, profile + L"\\Downloads");
  EXPECT_EQ(folders.dataFolder, profile + L"\\AppData\\Roaming\\Velmar\\Corvanta");
  EXPECT_EQ(folders.tempFolder, profile + L"\\AppData\\Roaming\\Velmar\\Corvanta\\Temp");
  EXPECT_EQ(folders.logFolder, profile + L"\\AppData\\Roaming\\Velmar\\Corvanta\\Log");
  EXPECT_EQ(folders.desktopFolder, profile + L"\\Desktop");
  EXPECT_TRUE(folders.defaultInstallFolder.empty());

  std::vector<std::string> expected = {"ProcessUser: " + Narrow(c.processUser) +
                                       ", LogonUser: " + Narrow(c.logonUser)};
  expected.insert(expected.end(), kOriginalLines.begin(), kOriginalLines.end());
  if (c.replacing) {
    const std::string p = Narrow(profile);
    for (const std::string& line : std::vector<std::string>{
             "logon user is different from process user, replace",
          "After replace download folder: " + p + "\\Downloads",
          "After replace appdata folder: " + p + "\\AppData\\Roaming\\Velmar\\Corvanta",
          "After replace appdata tmp folder: " + p + "\\AppData\\Roaming\\Velmar\\Corvanta\\Temp",
          "After replace appdata log folder: " + p + "\\AppData\\Roaming\\Velmar\\Corvanta\\Log",
          "After replace desktop link: " + p + "\\Desktop"}) {
      expected.push_back(line);
    }
  } else {
    expected.push_back("logon user is process user, skipping replace");
  }
  EXPECT_EQ(LogMessages(), expected);
}

INSTANTIATE_TEST_SUITE_P(Users, ResolveUserFoldersTest, ::testing::ValuesIn(kSubstitutions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceUserComponentTest, ReplacesWholeComponentsLeftToRight) {
  const struct {
    const wchar_t* path;
    const wchar_t* after;
  } cases[] = {
      {L"C:\\Users\\admin\\Desktop", L"C:\\Users\\anna\\Desktop"},
      // The backslash between two names belongs to the first match.
      {L"D:\\admin\\admin\\x", L"D:\\anna\\admin\\x"},
      {L"\\admin\\x\\admin\\", L"\\anna\\x\\anna\\"},
      {L"C:\\Users\\adminx\\Desktop", L"C:\\Users\\adminx\\Desktop"},
      {L"C:\\Users\\xadmin\\Desktop", L"C:\\Users\\xadmin\\Desktop"},
      {L"C:\\Users\\admin", L"C:\\Users\\admin"},  // no backslash after the name
      {L"C:\\Users\\Admin\\Desktop", L"C:\\Users\\Admin\\Desktop"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceUserComponent(c.path, L"admin", L"anna"), c.after) << c.path;
  }
}

TEST(ProcessUserTest, ResolvesAndCreatesTheFoldersOfThisAccount) {
  wchar_t name[UNLEN + 1] = {};
  DWORD size = UNLEN + 1;
  ASSERT_TRUE(GetUserNameW(name, &size));

  ProcessUser();

  const UserFolders folders = CurrentUserFolders();
  for (const std::wstring* folder : {&folders.downloadFolder, &folders.dataFolder,
                                     &folders.tempFolder, &folders.logFolder}) {
    EXPECT_TRUE(FolderExists(*folder)) << Narrow(*folder);
  }
  EXPECT_EQ(folders.tempFolder, folders.dataFolder + L"\\Temp");
  EXPECT_NE(folders.dataFolder.find(L"\\Velmar\\Corvanta"), std::wstring::npos);
  EXPECT_FALSE(folders.desktopFolder.empty());

  const std::vector<std::string> messages = LogMessages();
  ASSERT_EQ(messages.size(), 6u);
  // Under Wine the console user is the process user.
  EXPECT_EQ(messages[0], "ProcessUser: " + Narrow(name) + ", LogonUser: " + Narrow(name));
  EXPECT_EQ(messages[5], "logon user is process user, skipping replace");
}

TEST(ProcessUserTest, KeepsTheDefaultInstallFolderAcrossAnotherResolution) {
  SetDefaultInstallFolder(L"C:\\Program Files (x86)\\Velmar\\Corvanta");
  ProcessUser();
  EXPECT_EQ(CurrentUserFolders().defaultInstallFolder, L"C:\\Program Files (x86)\\Velmar\\Corvanta");
}

TEST(MakePathExistTest, CreatesEveryMissingFolder) {
  MakeScratchFolder(L"a");
  WriteFileBytes(L"C:\\scratch\\file.txt", "x");
  const struct {
    const wchar_t* path;
    bool result;
    const wchar_t* existsAfter;
  } cases[] = {
      {L"C:\\scratch\\a\\b\\c", true, L"C:\\scratch\\a\\b\\c"},
      {L"C:\\scratch\\d\\e\\", true, L"C:\\scratch\\d\\e"},  // a trailing backslash is harmless
      {L"C:\\scratch\\a", true, L"C:\\scratch\\a"},
      {L"C:", true, nullptr},  // a drive prefix counts as existing
      {L"C:\\scratch\\file.txt", true, nullptr},  // anything of that name counts
      {L"C:\\scratch\\file.txt\\sub", false, nullptr},
      {L"", false, nullptr},
      {L"\\scratch\\x", false, nullptr},
      {L"\\\\server\\share\\x", false, nullptr},
      {L"Z:\\proc\\corvanta-nope\\x", false, nullptr},  // a location nobody may write to
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MakePathExist(c.path), c.result) << Narrow(c.path);
    if (c.existsAfter) {
      EXPECT_TRUE(FolderExists(c.existsAfter)) << Narrow(c.existsAfter);
    }
  }
  EXPECT_FALSE(FolderExists(L"C:\\scratch\\file.txt\\sub"));
}

}  // namespace
