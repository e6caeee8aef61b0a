#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "app/product_names.h"
#include "app/registry_view.h"
#include "app/user_folders.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "system/uninstall_registration.h"
#include "tests/support/test_support.h"
#include "update/service_endpoint.h"
#include "workflow/installer_engine.h"

using namespace testing_support;

namespace {

const std::wstring kUninstallRoot = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The values of a key as Wine's own reg.exe lists them: name -> "TYPE    data".
std::map<std::string, std::string> RegQuery(const std::wstring& key, const std::wstring& options) {
  std::map<std::string, std::string> values;
  std::istringstream lines(RunAndCapture(L"reg.exe query \"" + key + L"\" " + options));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t nameEnd = line.find("    ", 4);
    if (line.rfind("    ", 0) != 0 || nameEnd == std::string::npos) continue;
    values[line.substr(4, nameEnd - 4)] = line.substr(nameEnd + 4);
  }
  return values;
}

struct ExpectedValue {
  std::wstring name;
  DWORD type;
  std::wstring text;  // REG_SZ
  DWORD number = 0;   // REG_DWORD
};

std::vector<ExpectedValue> UninstallEntry(const std::wstring& folder, const std::wstring& version) {
  const std::wstring uninstaller = L"\"" + folder + L"\\uninstaller.exe\"";
  return {
      {L"DisplayName", REG_SZ, framework::LoadStringText(IDS_PRODUCT_NAME)},
      {L"InstallLocation", REG_SZ, folder},
      {L"Publisher", REG_SZ, L"Velmar AG"},
      {L"HelpLink", REG_SZ, std::wstring(kBuiltInServiceBaseUrl) + L"/"},
      {L"DisplayVersion", REG_SZ, version},
      {L"UninstallString", REG_SZ, uninstaller},
      {L"DisplayIcon", REG_SZ, uninstaller},
      {L"NoModify", REG_DWORD, L"", 1},
      {L"NoRepair", REG_DWORD, L"", 1},
  };
}

// Each value with its type and exact size, read through the API and through reg.exe.
void ExpectUninstallEntry(const std::vector<ExpectedValue>& expected) {
  const std::map<std::string, std::string> listed =
      RegQuery(L"HKLM\\" + std::wstring(kUninstallKey), L"/reg:32");
  for (const ExpectedValue& value : expected) {
    SCOPED_TRACE(Narrow(value.name));
    const RegistryValue stored = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, value.name);
    ASSERT_TRUE(stored.found);
    EXPECT_EQ(stored.type, value.type);
    const auto found = listed.find(Narrow(value.name));
    ASSERT_NE(found, listed.end());
    if (value.type == REG_SZ) {
      EXPECT_EQ(stored.bytes.size(), (value.text.size() + 1) * sizeof(wchar_t));
      EXPECT_EQ(stored.text(), value.text);
      EXPECT_EQ(stored.bytes.substr(stored.bytes.size() - 2), std::string(2, '\0'));
      EXPECT_EQ(found->second, "REG_SZ    " + Narrow(value.text));
    } else {
      ASSERT_EQ(stored.bytes.size(), sizeof(DWORD));
      DWORD number = 0;
      memcpy(&number, stored.bytes.data(), sizeof(number));
      EXPECT_EQ(number, value.number);
      EXPECT_EQ(found->second, "REG_DWORD    0x" + std::to_string(value.number));
    }
  }
}

bool Register(const std::wstring& folder, const std::wstring& version) {
  InstallerEngine engine;
  engine.query.applicationInfo.version = version;
  return engine.RegisterToSystem(folder);
}

struct FolderCase {
  const char* name;
  const wchar_t* folder;
};
void PrintTo(const FolderCase& c, std::ostream* out) { *out << c.name; }

const FolderCase kFolders[] = {
    {"plain_path", L"C:\\Apps\\Velmar\\Corvanta"},
    // The uninstall command and the icon stay one quoted path.
    {"path_with_blanks", L"C:\\Program Files (x86)\\Velmar\\Corvanta"},
};

class RegisterToSystemFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(RegisterToSystemFolderTest, WritesTheWholeUninstallEntry) {
  // A tester's override of the service does not reach the help link.
  ProcessUser();
  ASSERT_TRUE(WriteFileBytes(CurrentUserFolders().downloadFolder + L"\\TestServer.txt",
                             R"({"ApplicationUpdate": "https://tester.example"})"));

  ASSERT_TRUE(Register(GetParam().folder, L"2.7.0.14"));

  const std::vector<ExpectedValue> expected = UninstallEntry(GetParam().folder, L"2.7.0.14");
  ExpectUninstallEntry(expected);
  EXPECT_EQ(RegQuery(L"HKLM\\" + std::wstring(kUninstallKey), L"/reg:32").size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(Folders, RegisterToSystemFolderTest, ::testing::ValuesIn(kFolders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RegisterToSystemTest, SecondRegistrationLeavesOneEntryWithItsOwnData) {
  const std::wstring first = L"C:\\Apps\\Velmar\\Corvanta";
  const std::wstring second = L"D:\\Programs\\Velmar\\Corvanta";
  ASSERT_TRUE(Register(first, L"2.6.9.1"));
  // A value of an older installer that this one does not write.
  framework::RegistryKey key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_SET_VALUE | kInstallerRegistryView,
                          key.receive()),
            ERROR_SUCCESS);
  const DWORD size = 4096;
  ASSERT_EQ(RegSetValueExW(key.get(), L"EstimatedSize", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&size), sizeof(size)),
            ERROR_SUCCESS);
  key.reset();

  ASSERT_TRUE(Register(second, L"2.7.0.14"));

  ExpectUninstallEntry(UninstallEntry(second, L"2.7.0.14"));
  EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize").found);

  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallRoot.c_str(), 0,
                          KEY_ENUMERATE_SUB_KEYS | kInstallerRegistryView, key.receive()),
            ERROR_SUCCESS);
  int entries = 0;
  wchar_t name[256];
  for (DWORD i = 0, length = 256; RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr,
                                                nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = 256) {
    const std::wstring location =
        ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallRoot + L"\\" + name, L"InstallLocation")
            .text();
    if (location == first || location == second) ++entries;
  }
  EXPECT_EQ(entries, 1);
}

TEST(RegisterAutostartTest, WritesTheQuotedProgramAndTheArgumentOverAnEarlierValue) {
  ASSERT_TRUE(RegisterAutostart(kProductName, L"C:\\Old Place\\Corvanta.exe"));
  EXPECT_TRUE(RegisterAutostart(kProductName, L"C:\\Apps\\Velmar\\Corvanta\\Corvanta.exe"));

  const std::wstring data = L"\"C:\\Apps\\Velmar\\Corvanta\\Corvanta.exe\" /WinStart";
  const RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, L"Corvanta");
  ASSERT_TRUE(value.found);
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.text(), data);
  EXPECT_EQ(value.bytes.size(), (data.size() + 1) * sizeof(wchar_t));
  const auto listed = RegQuery(L"HKCU\\" + std::wstring(kRunKey), L"/v Corvanta");
  EXPECT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed.count("Corvanta") ? listed.at("Corvanta") : "", "REG_SZ    " + Narrow(data));
}

TEST(RegisterAutostartTest, FailsAndCreatesNothingWhenTheRunKeyIsMissing) {
  ASSERT_EQ(RegDeleteKeyExW(HKEY_CURRENT_USER, kRunKey, kInstallerRegistryView, 0), ERROR_SUCCESS);

  EXPECT_FALSE(RegisterAutostart(kProductName, L"C:\\Apps\\Velmar\\Corvanta\\Corvanta.exe"));

  framework::RegistryKey key;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | kInstallerRegistryView,
                          key.receive()),
            ERROR_FILE_NOT_FOUND);
  DWORD exitCode = 0;
  RunAndCapture(L"reg.exe query \"HKCU\\" + std::wstring(kRunKey) + L"\"", &exitCode);
  EXPECT_NE(exitCode, 0u);
}

}  // namespace
