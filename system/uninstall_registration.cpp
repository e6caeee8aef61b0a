#include "system/uninstall_registration.h"

#include <windows.h>

#include "app/product_names.h"
#include "app/registry_view.h"
#include "framework/string_table.h"
#include "framework/unique_handle.h"
#include "resources/resource_ids.h"
#include "update/service_endpoint.h"
#include "workflow/installer_engine.h"
#include "workflow/outside_programs.h"

namespace {

// Registry strings are stored with their terminating null, as readers of the
// uninstall entry expect.
bool SetString(HKEY key, const wchar_t* name, const std::wstring& data) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const wchar_t* name, DWORD data) {
  return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof(data)) == ERROR_SUCCESS;
}

}  // namespace

bool InstallerEngine::RegisterToSystem(std::wstring installFolder) {
  framework::RegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | kInstallerRegistryView,
                      nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring uninstaller = L"\"" + installFolder + L"\\" + kUninstallerExeName + L"\"";
  // Written in this order, and nothing after the first value that fails.
  return SetString(key.get(), L"DisplayName", framework::LoadStringText(IDS_PRODUCT_NAME)) &&
         SetString(key.get(), L"InstallLocation", installFolder) &&
         SetString(key.get(), L"Publisher", kPublisherName) &&
         // The built-in service, also when a tester's override points elsewhere.
         SetString(key.get(), L"HelpLink", std::wstring(kBuiltInServiceBaseUrl) + L"/") &&
         SetString(key.get(), L"DisplayVersion", query.applicationInfo.version) &&
         SetString(key.get(), L"UninstallString", uninstaller) &&
         SetString(key.get(), L"DisplayIcon", uninstaller) &&
         SetNumber(key.get(), L"NoModify", 1) && SetNumber(key.get(), L"NoRepair", 1);
}

bool RegisterAutostart(std::wstring valueName, std::wstring programPath) {
  framework::RegistryKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE | kInstallerRegistryView,
                    key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  return SetString(key.get(), valueName.c_str(),
                   L"\"" + programPath + L"\" " + kAutostartArgument);
}
