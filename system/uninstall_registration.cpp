#include "system/uninstall_registration.h"

#include <windows.h>

#include "app/product_names.h"
#include "app/registry_view.h"
#include "framework/registry_value.h"
#include "framework/string_table.h"
#include "framework/unique_handle.h"
#include "resources/resource_ids.h"
#include "update/service_endpoint.h"
#include "app/outside_programs.h"

using framework::SetDwordValue;
using framework::SetStringValue;

bool RegisterUninstallEntry(const std::wstring& installFolder,
                            const std::wstring& applicationVersion) {
  framework::RegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | kInstallerRegistryView,
                      nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring uninstaller = L"\"" + installFolder + L"\\" + kUninstallerExeName + L"\"";
  // Written in this order, and nothing after the first value that fails.
  return SetStringValue(key.get(), L"DisplayName", framework::LoadStringText(IDS_PRODUCT_NAME)) &&
         SetStringValue(key.get(), L"InstallLocation", installFolder) &&
         SetStringValue(key.get(), L"Publisher", kPublisherName) &&
         // The built-in service, also when a tester's override points elsewhere.
         SetStringValue(key.get(), L"HelpLink", std::wstring(kBuiltInServiceBaseUrl) + L"/") &&
         SetStringValue(key.get(), L"DisplayVersion", applicationVersion) &&
         SetStringValue(key.get(), L"UninstallString", uninstaller) &&
         SetStringValue(key.get(), L"DisplayIcon", uninstaller) &&
         SetDwordValue(key.get(), L"NoModify", 1) && SetDwordValue(key.get(), L"NoRepair", 1);
}

bool RegisterAutostart(std::wstring valueName, std::wstring programPath) {
  framework::RegistryKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE | kInstallerRegistryView,
                    key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  return SetStringValue(key.get(), valueName.c_str(),
                   L"\"" + programPath + L"\" " + kAutostartArgument);
}
