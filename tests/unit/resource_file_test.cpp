#include <gtest/gtest.h>

#include "app/resource_file.h"
#include "resources/resource_ids.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

TEST(WriteResourceFileTest, WritesTheEmbeddedBytesAndReplacesThemOnASecondCall) {
  const std::wstring path = MakeScratchFolder(L"res") + L"\\Roboto-Regular.ttf";
  ASSERT_TRUE(WriteResourceFile(IDR_FILE_FONT, path));
  const std::string first = ReadFileBytes(path);
  EXPECT_TRUE(first == ReadFileBytes(FontSourcePath()));  // not printed: 170 kB of font

  ASSERT_TRUE(WriteResourceFile(IDR_FILE_FONT, path));
  EXPECT_TRUE(ReadFileBytes(path) == first);
}

TEST(WriteResourceFileTest, WritesTheArchiverAsAWindowsProgram) {
  const std::wstring path = MakeScratchFolder(L"res") + L"\\7za.exe";
  ASSERT_TRUE(WriteResourceFile(IDR_FILE_ARCHIVER, path));
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 100000u);
  EXPECT_EQ(bytes.substr(0, 2), "MZ");
  DWORD exitCode = 0;
  const std::string output = RunAndCapture(L"\"" + path + L"\" i", &exitCode);
  EXPECT_EQ(exitCode, 0u);
  EXPECT_NE(output.find("7-Zip"), std::string::npos) << output;
}

TEST(WriteResourceFileTest, FailsOverAReadOnlyFileAndLeavesIt) {
  const std::wstring path = MakeScratchFolder(L"res") + L"\\locked.ttf";
  ASSERT_TRUE(WriteFileBytes(path, "keep"));
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  if (framework::KernelHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          0, nullptr))) {
    // Wine refuses to delete the file but, run by root, lets anyone write to it.
    GTEST_SKIP() << "this platform does not enforce the read-only attribute for this account";
  }
  EXPECT_FALSE(WriteResourceFile(IDR_FILE_FONT, path));
  EXPECT_EQ(ReadFileBytes(path), "keep");
}

TEST(WriteResourceFileTest, FailsOverAFileAnotherProcessHolds) {
  // As when a running copy of the archiver holds its own file.
  const std::wstring path = MakeScratchFolder(L"res") + L"\\7za.exe";
  ASSERT_TRUE(WriteFileBytes(path, "keep"));
  framework::KernelHandle held = MakeEvent(L"corvanta-res.held");
  framework::KernelHandle release = MakeEvent(L"corvanta-res.release");
  ChildProcess holder = ChildProcess::Start(HelperExePath(), L"hold-file \"" + path + L"\" corvanta-res");
  ASSERT_EQ(WaitForSingleObject(held.get(), 20000), WAIT_OBJECT_0);

  EXPECT_FALSE(WriteResourceFile(IDR_FILE_ARCHIVER, path));

  SetEvent(release.get());
  ASSERT_TRUE(holder.WaitForExit(20000));
  EXPECT_EQ(ReadFileBytes(path), "keep");
}

TEST(WriteResourceFileTest, FailsForAMissingResourceOrFolder) {
  const std::wstring folder = MakeScratchFolder(L"res");
  EXPECT_FALSE(WriteResourceFile(4711, folder + L"\\none.bin"));
  EXPECT_FALSE(FileExists(folder + L"\\none.bin"));
  EXPECT_FALSE(WriteResourceFile(IDR_FILE_FONT, folder + L"\\missing\\font.ttf"));
}

}  // namespace
