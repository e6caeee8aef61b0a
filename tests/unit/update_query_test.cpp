#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "tests/support/update_service.h"
#include "update/local_versions.h"
#include "update/update_query.h"

using namespace testing_support;

namespace {

const std::wstring kUninstallKey = L"HKLM\\SOFTWARE\\Microsoft\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\Corvanta";

// Registry changes go through Wine's own reg.exe, in the 32-bit view the
// release installer sees.
void RegAdd(const std::wstring& key, const std::wstring& name, const std::wstring& type,
            const std::wstring& data) {
  DWORD exitCode = 1;
  RunAndCapture(L"reg.exe add \"" + key + L"\" /v \"" + name + L"\" /t " + type + L" /d \"" +
                    data + L"\" /f /reg:32",
                &exitCode);
  ASSERT_EQ(exitCode, 0u) << Narrow(key + L"\\" + name);
}

bool KeyExists(const std::wstring& key) {
  DWORD exitCode = 1;
  RunAndCapture(L"reg.exe query \"" + key + L"\" /reg:32", &exitCode);
  return exitCode == 0;
}

void InstallApplication(const std::wstring& folder, const std::wstring& version, bool withExe) {
  MakeScratchFolder(L"");
  CreateDirectoryW(folder.c_str(), nullptr);
  if (withExe) WriteFileBytes(folder + L"\\Corvanta.exe", "MZ");
  RegAdd(kUninstallKey, L"InstallLocation", L"REG_SZ", folder);
  RegAdd(kUninstallKey, L"DisplayVersion", L"REG_SZ", version);
}

void SetFrameworkRelease(DWORD release) {
  RegAdd(L"HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full", L"Release",
         L"REG_DWORD", std::to_wstring(release));
}

TEST(GetOwnVersionTest, ReadsTheProductVersionOfTheRunningProgram) {
  EXPECT_EQ(GetOwnVersion(), L"1.0.21.0");
}

TEST(GetInstalledVersionTest, ReadsTheUninstallEntry) {
  UpdateQuery query;
  EXPECT_EQ(query.GetInstalledVersion(), L"");
  EXPECT_EQ(query.installLocation, L"");
  EXPECT_FALSE(KeyExists(kUninstallKey));  // looked at, not created

  InstallApplication(L"C:\\scratch\\Corvanta", L"1.0.21.0", true);
  EXPECT_EQ(query.GetInstalledVersion(), L"1.0.21.0");
  EXPECT_EQ(query.installLocation, L"C:\\scratch\\Corvanta");
}

TEST(GetInstalledVersionTest, EntryWithoutTheProgramCountsAsNotInstalled) {
  InstallApplication(L"C:\\scratch\\Gone", L"1.0.21.0", false);
  UpdateQuery query;
  EXPECT_EQ(query.GetInstalledVersion(), L"");
  EXPECT_EQ(query.installLocation, L"C:\\scratch\\Gone");
}

TEST(IsFrameworkInstalledTest, AboveTheFirst45Release) {
  EXPECT_FALSE(IsFrameworkInstalled());  // no key at all
  const struct {
    DWORD release;
    bool installed;
  } cases[] = {{0, false}, {378389, false}, {378390, true}, {379893, true}, {528040, true},
               {0xFFFFFFFFu, true}};
  for (const auto& c : cases) {
    SetFrameworkRelease(c.release);
    EXPECT_EQ(IsFrameworkInstalled(), c.installed) << c.release;
  }
}

TEST(IsFrameworkInstalledTest, ReleaseAsTextIsNotANumber) {
  RegAdd(L"HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full", L"Release", L"REG_SZ",
         L"378390");
  EXPECT_FALSE(IsFrameworkInstalled());  // its bytes do not fit the number
}

std::vector<ReleaseFile> Release(const std::string& installerVersion,
                                 const std::string& applicationVersion) {
  return {{"installer", L"CorvantaSetup.exe", installerVersion, "MZ installer", ""},
          {"application", L"app.zip", applicationVersion, "PK application", ""},
          {"framework", L"ndp452.exe", "4.5.51209", "MZ framework", ""}};
}

TEST(QueryUpdatesTest, MarksEachOfferAgainstTheMachine) {
  const struct {
    const char* name;
    std::string offeredInstaller;
    bool installerCurrent;
  } cases[] = {
      {"newer", "1.0.22.0", false},
      {"same", "1.0.21.0", true},
      {"older by number, newer as text", "1.0.3.0", true},
      {"newer by number, older as text", "1.0.100.0", false},
      {"newer major", "2.0", false},
  };
  for (const auto& c : cases) {
    const std::wstring folder = L"C:\\scratch\\release";
    WriteRelease(folder, Release(c.offeredInstaller, "1.0.22.0"));
    UpdateService service(folder);
    UpdateQuery query;
    EXPECT_TRUE(query.QueryUpdates(service.baseUrl()));
    EXPECT_EQ(query.installerInfo.isCurrent, c.installerCurrent ? 1 : 0) << c.name;
    EXPECT_EQ(query.installerInfo.version, std::wstring(c.offeredInstaller.begin(), c.offeredInstaller.end()));
    EXPECT_EQ(query.installerInfo.size, 12u);
    EXPECT_EQ(query.applicationInfo.isCurrent, 0) << "nothing is installed";
    EXPECT_TRUE(usable(query.applicationInfo));
  }
}

TEST(QueryUpdatesTest, InstalledApplicationOfTheOfferedVersionIsCurrent) {
  InstallApplication(L"C:\\scratch\\Corvanta", L"1.0.21.0", true);
  SetFrameworkRelease(378390);
  const std::wstring folder = L"C:\\scratch\\release";
  WriteRelease(folder, Release("1.0.21.0", "1.0.21.0"));
  UpdateService service(folder);
  UpdateQuery query;
  query.QueryUpdates(service.baseUrl());
  EXPECT_EQ(query.applicationInfo.isCurrent, 1);
  EXPECT_FALSE(usable(query.applicationInfo));
  EXPECT_EQ(query.installLocation, L"C:\\scratch\\Corvanta");
}

TEST(QueryUpdatesTest, AsksForTheFrameworkOnlyWhenItIsMissing) {
  const std::wstring folder = L"C:\\scratch\\release";
  WriteRelease(folder, Release("1.0.21.0", "1.0.22.0"));
  {
    SetFrameworkRelease(378389);
    UpdateService service(folder);
    UpdateQuery query;
    query.QueryUpdates(service.baseUrl());
    EXPECT_EQ(query.frameworkInfo.needed, 1);
    EXPECT_EQ(query.frameworkInfo.version, L"4.5.2");  // whatever the service said
    EXPECT_TRUE(usable(query.frameworkInfo));
    EXPECT_NE(service.RequestLog().find("type=3"), std::string::npos);
  }
  {
    SetFrameworkRelease(378390);
    UpdateService service(folder);
    UpdateQuery query;
    query.QueryUpdates(service.baseUrl());
    EXPECT_EQ(query.frameworkInfo.needed, 0);
    EXPECT_EQ(query.frameworkInfo.downloadUrl, L"");
    EXPECT_EQ(query.frameworkInfo.version, L"");
    EXPECT_EQ(service.RequestLog().find("type=3"), std::string::npos);
  }
}

TEST(QueryUpdatesTest, UnreachableServiceLeavesNothingUsable) {
  UpdateQuery query;
  EXPECT_TRUE(query.QueryUpdates(RefusingUrl()));
  EXPECT_FALSE(usable(query.installerInfo));
  EXPECT_EQ(query.installerInfo.isCurrent, 1);  // an empty offer never updates the installer
  EXPECT_FALSE(usable(query.applicationInfo));
  EXPECT_FALSE(usable(query.frameworkInfo));
  EXPECT_EQ(query.frameworkInfo.needed, 1);
  EXPECT_EQ(query.frameworkInfo.version, L"4.5.2");
}

}  // namespace
