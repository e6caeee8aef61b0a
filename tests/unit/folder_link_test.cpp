// Links inside a tree are not followed. Wine cannot make a junction or a
// symbolic link, so linux_side_check.sh makes Unix ones, which Wine shows as
// folder links, and names their folder in CORVANTA_LINUX_SIDE_FOLDER:
//   documents\            files of the user's
//   install\documents     a link to ..\documents
//   package\linked        a link to ..\documents
#include <gtest/gtest.h>

#include "system/file_tree.h"
#include "tests/support/test_support.h"
#include "tests/unit/system_test_support.h"
#include "workflow/installer_engine.h"

using namespace testing_support;
using namespace system_testing;

namespace {

const std::vector<TreeEntry> kOwnFiles = {{L"Corvanta.exe"}, {L"bin\\"}, {L"bin\\core.dll"}};

class FolderLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = LinuxSideFolder();
    ASSERT_FALSE(folder_.empty()) << "run by linux_side_check.sh";
    documentsBefore_ = DescribeTree(documents());
    ASSERT_NE(documentsBefore_, "(no folder)\n");
    for (const std::wstring link : {L"install\\documents", L"package\\linked"}) {
      ASSERT_EQ(GetFileAttributesW((folder_ + L"\\" + link).c_str()),
                static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
          << Narrow(link);
    }
  }

  std::wstring documents() const { return folder_ + L"\\documents"; }

  std::wstring folder_;
  std::string documentsBefore_;
};

TEST_F(FolderLinkTest, RemoveFolderLeavesWhatALinkPointsAt) {
  const std::wstring install = folder_ + L"\\install";
  ASSERT_TRUE(MakeTree(install, kOwnFiles));

  RemoveFolder(install);

  EXPECT_EQ(DescribeTree(documents()), documentsBefore_);
  EXPECT_FALSE(FileExists(install + L"\\Corvanta.exe"));
  EXPECT_FALSE(FolderExists(install + L"\\bin"));
}

TEST_F(FolderLinkTest, CopytoInstallPathLeavesALinkOut) {
  const std::wstring package = folder_ + L"\\package";
  ASSERT_TRUE(MakeTree(package, kOwnFiles));
  const std::wstring install = MakeScratchFolder(L"install");

  InstallerEngine engine;
  EXPECT_TRUE(engine.CopytoInstallPath(package, install));

  EXPECT_EQ(DescribeTree(install), Describe(kOwnFiles));
  EXPECT_EQ(DescribeTree(documents()), documentsBefore_);
}

}  // namespace
