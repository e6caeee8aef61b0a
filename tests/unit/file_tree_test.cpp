#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/user_folders.h"
#include "system/file_tree.h"
#include "tests/support/test_support.h"
#include "tests/unit/system_test_support.h"
#include "workflow/installer_engine.h"

using namespace testing_support;
using namespace system_testing;

namespace {

const std::wstring kPackage = L"C:\\scratch\\package";
const std::wstring kInstall = L"C:\\scratch\\install";

bool CopyToInstall(const std::wstring& source, const std::wstring& destination) {
  InstallerEngine engine;
  return engine.CopytoInstallPath(source, destination);
}

const std::vector<TreeEntry> kApplication = {
    {L"Corvanta.exe"},     {L"readme.txt"},         {L"bin\\"},    {L"bin\\core.dll"},
    {L"bin\\lang\\"},      {L"bin\\lang\\de.txt"},  {L"bin\\cache\\"}, {L"logs\\"},
};

struct CopyCase {
  const char* name;
  bool sourceExists;
  std::vector<TreeEntry> source;
  const wchar_t* sourceSuffix;  // appended to the source folder's path
  std::vector<TreeEntry> installBefore;
  std::vector<TreeEntry> installAfter;
};

const CopyCase kCopies[] = {
    {"nested_files_and_empty_folders", true, kApplication, L"", {}, kApplication},
    {"source_with_a_trailing_backslash", true, kApplication, L"\\", {}, kApplication},
    {"existing_files_replaced_others_kept", true,
     {{L"Corvanta.exe", "new"}, {L"bin\\"}, {L"bin\\core.dll", "new"}}, L"",
     {{L"Corvanta.exe", "old"}, {L"bin\\"}, {L"bin\\core.dll", "old"}, {L"settings.ini", "mine"}},
     {{L"Corvanta.exe", "new"}, {L"bin\\"}, {L"bin\\core.dll", "new"}, {L"settings.ini", "mine"}}},
    {"missing_source_copies_nothing", false, {}, L"", {{L"settings.ini", "mine"}},
     {{L"settings.ini", "mine"}}},
    {"hidden_and_read_only_files_with_their_attributes", true,
     {{L"hidden.dat", nullptr, FILE_ATTRIBUTE_HIDDEN},
      {L"bin\\"},
      {L"bin\\fixed.dll", nullptr, FILE_ATTRIBUTE_READONLY}},
     L"", {},
     {{L"hidden.dat", nullptr, FILE_ATTRIBUTE_HIDDEN},
      {L"bin\\"},
      {L"bin\\fixed.dll", nullptr, FILE_ATTRIBUTE_READONLY}}},
};

void PrintTo(const CopyCase& c, std::ostream* out) { *out << c.name; }

class CopytoInstallPathTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopytoInstallPathTest, CopiesTheTree) {
  const CopyCase& c = GetParam();
  if (c.sourceExists) {
    ASSERT_TRUE(MakeTree(kPackage, c.source));
  }
  ASSERT_TRUE(MakeTree(kInstall, c.installBefore));

  EXPECT_TRUE(CopyToInstall(kPackage + c.sourceSuffix, kInstall));

  EXPECT_EQ(DescribeTree(kInstall), Describe(c.installAfter));
}

INSTANTIATE_TEST_SUITE_P(Trees, CopytoInstallPathTest, ::testing::ValuesIn(kCopies),
                         [](const auto& info) { return std::string(info.param.name); });

// A file two levels down that cannot be copied: every level holds files before
// and after the branch that leads to it, in whatever order the file system
// lists them.
const std::vector<TreeEntry> kBlockedPackage = {
    {L"a.txt"},       {L"m\\"},        {L"z.txt"},           {L"m\\b.txt"},    {L"m\\n\\"},
    {L"m\\y.txt"},    {L"m\\n\\c.txt"}, {L"m\\n\\blocked.txt"}, {L"m\\n\\x.txt"},
};

enum class Blocker { HeldOpenByAnotherProcess, FolderInTheWay };

std::string BlockerName(Blocker blocker) {
  return blocker == Blocker::FolderInTheWay ? "folder_in_the_way" : "held_open_by_another_process";
}
void PrintTo(Blocker blocker, std::ostream* out) { *out << BlockerName(blocker); }

class CopytoInstallPathStopTest : public ::testing::TestWithParam<Blocker> {};

TEST_P(CopytoInstallPathStopTest, StopsAtTheFirstFileThatCannotBeCopied) {
  ASSERT_TRUE(MakeTree(kPackage, kBlockedPackage));
  const std::wstring blocked = kInstall + L"\\m\\n\\blocked.txt";
  ASSERT_TRUE(MakePathExist(kInstall + L"\\m\\n"));
  framework::KernelHandle held = MakeEvent(L"corvanta-blocked.held");
  framework::KernelHandle release = MakeEvent(L"corvanta-blocked.release");
  ChildProcess holder;
  if (GetParam() == Blocker::HeldOpenByAnotherProcess) {
    holder = ChildProcess::Start(HelperExePath(), L"hold-file \"" + blocked + L"\" corvanta-blocked");
    ASSERT_EQ(WaitForSingleObject(held.get(), 20000), WAIT_OBJECT_0);
  } else {
    ASSERT_TRUE(MakePathExist(blocked));
  }

  EXPECT_FALSE(CopyToInstall(kPackage, kInstall));

  // At each level, what the walk met before the branch to the blocked file is
  // copied, and nothing after it.
  const struct {
    std::wstring folder;  // relative, with a trailing backslash
    std::wstring branch;
  } levels[] = {{L"", L"m"}, {L"m\\", L"n"}, {L"m\\n\\", L"blocked.txt"}};
  for (const auto& level : levels) {
    bool beforeBranch = true;
    for (const std::wstring& name : EntryOrder(kPackage + L"\\" + level.folder)) {
      const std::wstring relative = level.folder + name;
      if (name == level.branch) {
        beforeBranch = false;
      } else if (beforeBranch) {
        EXPECT_EQ(ReadFileBytes(kInstall + L"\\" + relative), Narrow(relative));
      } else {
        EXPECT_FALSE(FileExists(kInstall + L"\\" + relative)) << Narrow(relative);
      }
    }
  }
  EXPECT_NE(ReadFileBytes(blocked), Narrow(L"m\\n\\blocked.txt"));  // not replaced either
  SetEvent(release.get());
}

INSTANTIATE_TEST_SUITE_P(Blockers, CopytoInstallPathStopTest,
                         ::testing::Values(Blocker::HeldOpenByAnotherProcess,
                                           Blocker::FolderInTheWay),
                         [](const auto& info) { return BlockerName(info.param); });

struct RemoveCase {
  const char* name;
  bool exists;
  std::vector<TreeEntry> before;
  bool folderRemains;
  std::vector<TreeEntry> after;
};

const RemoveCase kRemovals[] = {
    {"whole_tree_hidden_files_included", true,
     {{L"Corvanta.exe"}, {L"hidden.dat", nullptr, FILE_ATTRIBUTE_HIDDEN}, {L"bin\\"},
      {L"bin\\core.dll"}, {L"bin\\lang\\"}, {L"bin\\lang\\de.txt"}, {L"logs\\"}},
     false, {}},
    // Deleting is all it tries: a read-only file keeps its attribute and stays,
    // and so do the folders that hold it.
    {"read_only_file_stays_with_its_folders", true,
     {{L"Corvanta.exe"}, {L"bin\\"}, {L"bin\\core.dll"},
      {L"bin\\fixed.dll", nullptr, FILE_ATTRIBUTE_READONLY}, {L"logs\\"}, {L"logs\\old.log"}},
     true, {{L"bin\\"}, {L"bin\\fixed.dll", nullptr, FILE_ATTRIBUTE_READONLY}}},
    {"missing_folder", false, {}, false, {}},
};

void PrintTo(const RemoveCase& c, std::ostream* out) { *out << c.name; }

class RemoveFolderTest : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveFolderTest, DeletesWhatItCan) {
  const RemoveCase& c = GetParam();
  const std::wstring folder = L"C:\\scratch\\doomed";
  ASSERT_TRUE(MakePathExist(L"C:\\scratch"));
  ASSERT_TRUE(WriteFileBytes(L"C:\\scratch\\beside.txt", "beside"));
  if (c.exists) {
    ASSERT_TRUE(MakeTree(folder, c.before));
  }

  RemoveFolder(folder);

  EXPECT_EQ(DescribeTree(folder), c.folderRemains ? Describe(c.after) : "(no folder)\n");
  EXPECT_TRUE(FileExists(L"C:\\scratch\\beside.txt"));
}

INSTANTIATE_TEST_SUITE_P(Trees, RemoveFolderTest, ::testing::ValuesIn(kRemovals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveFolderLengthTest, LeavesDriveRootsAndOtherPathsOfAtMostThreeCharactersAlone) {
  // Relative names resolve under this folder, and "\" and "" under C:'s root.
  const std::wstring cwd = MakeScratchFolder(L"cwd");
  ASSERT_TRUE(SetCurrentDirectoryW(cwd.c_str()));
  const struct {
    const wchar_t* path;
    std::wstring witness;  // a file under what the path names
    bool removed;
  } cases[] = {
      // The relative names come first: if the length rule broke, they would
      // only empty scratch folders, and the test stops before the roots.
      {L"a", cwd + L"\\a\\file.txt", false},
      {L"ab", cwd + L"\\ab\\file.txt", false},
      {L"abc", cwd + L"\\abc\\file.txt", false},
      {L"C:\\", L"C:\\witness\\file.txt", false},
      {L"C:", L"C:\\witness\\file.txt", false},
      {L"\\", L"C:\\witness\\file.txt", false},
      {L"", L"C:\\witness\\file.txt", false},
      {L"abcd", cwd + L"\\abcd\\file.txt", true},
      {L"C:\\a", L"C:\\a\\file.txt", true},
  };
  for (const auto& c : cases) {
    const std::wstring folder = c.witness.substr(0, c.witness.rfind(L'\\'));
    ASSERT_TRUE(MakeTree(folder, {{L"file.txt"}}));

    RemoveFolder(c.path);

    if (c.removed) {
      EXPECT_FALSE(FolderExists(folder)) << Narrow(c.path);
    } else {
      ASSERT_TRUE(FileExists(c.witness)) << Narrow(c.path);
    }
  }
}

// A folder whose search pattern (path, backslash, "*.*") is 259 characters long
// is searched; a sibling one character longer is not.
struct DeepTree {
  std::wstring root = L"C:\\scratch\\deep";
  std::wstring parent;      // 253 characters
  std::wstring searchable;  // parent\a: pattern of 259 characters
  std::wstring tooDeep;     // parent\bb: pattern of 260 characters
};

DeepTree MakeDeepTree() {
  DeepTree tree;
  tree.parent = tree.root;
  while (tree.parent.size() + 10 < 253) tree.parent += L"\\ddddddddd";
  tree.parent += L"\\" + std::wstring(253 - tree.parent.size() - 1, L'e');
  tree.searchable = tree.parent + L"\\a";
  tree.tooDeep = tree.parent + L"\\bb";
  EXPECT_EQ((tree.searchable + L"\\*.*").size(), 259u);
  EXPECT_EQ((tree.tooDeep + L"\\*.*").size(), 260u);
  EXPECT_TRUE(MakeTree(tree.searchable, {{L"in-a.txt"}}));
  EXPECT_TRUE(MakeTree(tree.tooDeep, {{L"in-bb.txt"}}));
  return tree;
}

TEST(SearchPatternLimitTest, CopytoInstallPathTakesNothingFromAFolderTooDeepToSearch) {
  const DeepTree tree = MakeDeepTree();
  const std::wstring install = L"C:\\i";
  ASSERT_TRUE(MakePathExist(install));

  EXPECT_TRUE(CopyToInstall(tree.root, install));

  const std::wstring parent = install + tree.parent.substr(tree.root.size());
  EXPECT_EQ(DescribeTree(parent), Describe({{L"a\\"}, {L"a\\in-a.txt", "in-a.txt"}, {L"bb\\"}}));
}

TEST(SearchPatternLimitTest, RemoveFolderDeletesNothingInAFolderTooDeepToSearch) {
  const DeepTree tree = MakeDeepTree();

  RemoveFolder(tree.root);

  EXPECT_EQ(DescribeTree(tree.parent), Describe({{L"bb\\"}, {L"bb\\in-bb.txt", "in-bb.txt"}}));
}

TEST(DeleteDesktopShortcutTest, DeletesOnlyTheNamedShortcutOnTheDesktop) {
  wchar_t desktop[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
  const std::wstring folder = desktop;
  for (const wchar_t* name : {L"Corvanta.lnk", L"Other.lnk", L"Corvanta.txt"}) {
    ASSERT_TRUE(WriteFileBytes(folder + L"\\" + name, "link"));
  }

  DeleteDesktopShortcut(L"Missing");
  EXPECT_EQ(EntryOrder(folder).size(), 3u);
  // The user folders were still unresolved in this process: the call resolved them.
  EXPECT_GE(FindLogMessage(LogMessages(), "logon user is process user, skipping replace"), 0);

  DeleteDesktopShortcut(L"Corvanta");
  EXPECT_FALSE(FileExists(folder + L"\\Corvanta.lnk"));
  EXPECT_TRUE(FileExists(folder + L"\\Other.lnk"));
  EXPECT_TRUE(FileExists(folder + L"\\Corvanta.txt"));
}

}  // namespace
