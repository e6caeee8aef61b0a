#include "update/update_query.h"

#include <windows.h>

#include "app/product_names.h"
#include "app/registry_view.h"
#include "framework/unique_handle.h"
#include "update/local_versions.h"
#include "update/update_reply.h"
#include "update/version_compare.h"
#include "app/outside_programs.h"

namespace {

constexpr wchar_t kQueryPath[] = L"/api/files/download/client?type=";

std::wstring QueryUrl(const std::wstring& baseUrl, PackageKind kind) {
  return baseUrl + kQueryPath + std::to_wstring(static_cast<int>(kind));
}

// A text value of at most 260 characters; false when it cannot be read.
bool ReadText(HKEY key, const wchar_t* name, std::wstring& text) {
  wchar_t buffer[261] = {};  // one more than is read, so the text always ends
  DWORD size = 520;
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  text = buffer;
  return true;
}

}  // namespace

std::wstring UpdateQuery::GetInstalledVersion() {
  framework::RegistryKey key;
  // Opened, not created: a machine without the application keeps no empty entry.
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0,
                    KEY_QUERY_VALUE | kInstallerRegistryView, key.receive()) != ERROR_SUCCESS) {
    return std::wstring();
  }
  std::wstring location;
  if (!ReadText(key.get(), L"InstallLocation", location)) return std::wstring();
  installLocation = location;
  const std::wstring program = location + L"\\" + kApplicationExeName;
  if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) return std::wstring();
  std::wstring version;
  if (!ReadText(key.get(), L"DisplayVersion", version)) return std::wstring();
  return version;
}

bool UpdateQuery::QueryUpdates(const std::wstring& baseUrl) {
  installerInfo = ParseUpdateReply(QueryUrl(baseUrl, PackageKind::Installer));
  if (CompareVersions(installerInfo.version, GetOwnVersion()) <= 0) installerInfo.isCurrent = 1;

  applicationInfo = ParseUpdateReply(QueryUrl(baseUrl, PackageKind::Application));
  const std::wstring installed = GetInstalledVersion();
  if (!installed.empty() && CompareVersions(applicationInfo.version, installed) <= 0) {
    applicationInfo.isCurrent = 1;
  }

  const bool present = IsFrameworkInstalled();
  frameworkInfo.needed = present ? 0 : 1;
  if (present) {
    OutputDebugStringW(L".net framework is installed.");
  } else {
    frameworkInfo = ParseUpdateReply(QueryUrl(baseUrl, PackageKind::Framework));
    frameworkInfo.version = kFrameworkVersion;
    frameworkInfo.needed = 1;
  }
  return true;
}
