#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "app/user_folders.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "system/file_tree.h"
#include "system/shortcuts.h"
#include "tests/support/test_support.h"
#include "tests/unit/system_test_support.h"

using namespace testing_support;
using namespace system_testing;

namespace {

// Run once more by linux_side_check.sh, which has lnkinfo read the shortcuts
// these cases keep for it.
class CreateShortcutsTest : public ::testing::Test {
 protected:
  const std::wstring first_ = L"C:\\Program Files (x86)\\Velmar\\Corvanta\\Corvanta.exe";
  const std::wstring second_ = L"C:\\Apps\\Velmar\\Corvanta\\Corvanta.exe";
  const std::wstring name_ = framework::LoadStringText(IDS_PRODUCT_NAME);

  void SetUp() override {
    ASSERT_FALSE(name_.empty());
    for (const std::wstring* target : {&first_, &second_}) {
      ASSERT_TRUE(MakePathExist(target->substr(0, target->rfind(L'\\'))));
      ASSERT_TRUE(WriteFileBytes(*target, "stand-in"));
    }
  }

  // Where the shell puts the console user's desktop (under Wine, the process user's).
  std::wstring DesktopShortcut() const {
    wchar_t desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return std::wstring(desktop) + L"\\" + name_ + L".lnk";
  }
  std::wstring ProgramsShortcut() const {
    return L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\" + name_ + L".lnk";
  }
};

TEST_F(CreateShortcutsTest, FirstInstallationGivesBothShortcutsTheTargetOnly) {
  ProcessUser();  // as the stages before it have done
  EXPECT_TRUE(CreateShortcuts(first_, name_));

  EXPECT_EQ(ProgramsShortcutPath(name_), ProgramsShortcut());
  const ShortcutContents desktop = ReadShortcut(DesktopShortcut());
  EXPECT_EQ(desktop.target, first_);
  EXPECT_EQ(desktop.arguments, L"");
  EXPECT_EQ(desktop.workingFolder, L"");
  const std::string bytes = ReadFileBytes(DesktopShortcut());
  EXPECT_FALSE(bytes.empty());
  EXPECT_TRUE(ReadFileBytes(ProgramsShortcut()) == bytes);  // a copy, not a second link
  // The user folders are resolved afresh for the step.
  const std::vector<std::string> messages = LogMessages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(),
                       "logon user is process user, skipping replace"),
            2);

  KeepForLinuxSide(DesktopShortcut(), L"first-desktop.lnk", first_);
  KeepForLinuxSide(ProgramsShortcut(), L"first-programs.lnk", first_);
}

TEST_F(CreateShortcutsTest, SecondInstallationElsewhereMovesOnlyTheDesktopShortcut) {
  ASSERT_TRUE(CreateShortcuts(first_, name_));
  const std::string programsBefore = ReadFileBytes(ProgramsShortcut());

  // As the install stage does it: the old desktop shortcut goes first.
  DeleteDesktopShortcut(name_);
  EXPECT_TRUE(CreateShortcuts(second_, name_));

  EXPECT_EQ(ReadShortcut(DesktopShortcut()).target, second_);
  EXPECT_EQ(ReadShortcut(ProgramsShortcut()).target, first_);
  EXPECT_TRUE(ReadFileBytes(ProgramsShortcut()) == programsBefore);

  KeepForLinuxSide(DesktopShortcut(), L"second-desktop.lnk", second_);
  KeepForLinuxSide(ProgramsShortcut(), L"second-programs.lnk", first_);
}

}  // namespace
