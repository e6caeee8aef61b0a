#include "release.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_folder.h"

namespace update_service {
namespace {

using testing::TestFolder;

struct ReleaseCase {
  const char* name;
  const char* manifest;  // nullptr: no release.json at all
  std::vector<std::string> files;
  const char* error;  // nullptr: loads; else a part of the message
};

const ReleaseCase kCases[] = {
    {"all three kinds",
     R"({"installer": {"file": "setup.exe", "version": "1.0.22.0"},
         "application": {"file": "app.7z", "version": "1.0.21.0", "notes": "修复了问题"},
         "framework": {"file": "ndp452.exe", "version": "4.5.2"}})",
     {"setup.exe", "app.7z", "ndp452.exe"}, nullptr},
    {"missing kind", R"({"application": {"file": "app.7z", "version": "1.0"}})", {"app.7z"},
     nullptr},
    {"bad JSON", R"({"application": {"file": "app.7z", )", {"app.7z"}, "release.json: "},
    {"file missing from folder", R"({"application": {"file": "app.7z", "version": "1.0"}})", {},
     "file \"app.7z\" not found"},
    {"no release.json", nullptr, {}, "cannot read"},
    {"top level not an object", R"([])", {}, "must be an object"},
    {"misspelt kind", R"({"aplication": {"file": "app.7z", "version": "1.0"}})", {"app.7z"},
     "unknown member \"aplication\""},
    {"kind not an object", R"({"installer": "setup.exe"})", {"setup.exe"}, "must be an object"},
    {"version missing", R"({"installer": {"file": "setup.exe"}})", {"setup.exe"},
     "\"version\" is missing"},
    {"version not a string", R"({"installer": {"file": "setup.exe", "version": 1}})",
     {"setup.exe"}, "\"version\" must be a string"},
    {"path instead of a name", R"({"installer": {"file": "../setup.exe", "version": "1"}})", {},
     "not a plain file name"},
    {"kind given twice",
     R"({"installer": {"file": "a", "version": "1"}, "installer": {"file": "a", "version": "2"}})",
     {"a"}, "given twice"},
    {"notes not UTF-8", "{\"installer\": {\"file\": \"a\", \"version\": \"1\", \"notes\": \"\xff\"}}",
     {"a"}, "release.json: "},
};

TEST(Release, Loading) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TestFolder folder;
    if (c.manifest) folder.Write("release.json", c.manifest);
    for (const auto& file : c.files) folder.Write(file, "content of " + file);
    Release release;
    std::string error;
    const bool loaded = LoadRelease(folder.path(), release, error);
    if (c.error) {
      EXPECT_FALSE(loaded);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    } else {
      EXPECT_TRUE(loaded) << error;
    }
  }
}

TEST(Release, Contents) {
  TestFolder folder;
  folder.Write("release.json", kCases[0].manifest);
  for (const auto& file : kCases[0].files) folder.Write(file, "x");
  Release release;
  std::string error;
  ASSERT_TRUE(LoadRelease(folder.path(), release, error)) << error;

  const Package* application = release.Find(PackageKind::Application);
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(application->file, "app.7z");
  EXPECT_EQ(application->version, "1.0.21.0");
  EXPECT_EQ(application->notes, "修复了问题");
  EXPECT_EQ(application->path, folder.File("app.7z"));
  EXPECT_EQ(release.Find(PackageKind::Installer)->notes, "");
  EXPECT_EQ(release.FindFile("ndp452.exe"), release.Find(PackageKind::Framework));
  EXPECT_EQ(release.FindFile("release.json"), nullptr);
}

TEST(Release, MissingKindIsAbsent) {
  TestFolder folder;
  folder.Write("release.json", kCases[1].manifest);
  folder.Write("app.7z", "x");
  Release release;
  std::string error;
  ASSERT_TRUE(LoadRelease(folder.path(), release, error)) << error;
  EXPECT_EQ(release.Find(PackageKind::Installer), nullptr);
  EXPECT_NE(release.Find(PackageKind::Application), nullptr);
  EXPECT_EQ(release.Find(PackageKind::Framework), nullptr);
}

}  // namespace
}  // namespace update_service
