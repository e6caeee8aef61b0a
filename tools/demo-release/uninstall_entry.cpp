#include "tools/demo-release/uninstall_entry.h"

#include <windows.h>

#include "framework/unique_handle.h"
#include "tools/demo-release/uninstall_names.h"

namespace {

// A REG_SZ (or expanded REG_EXPAND_SZ) value; empty when missing or of another type.
std::wstring ReadText(HKEY key, const wchar_t* name) {
  DWORD bytes = 0;
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return std::wstring();
  }
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::wstring();
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

}  // namespace

UninstallEntry ReadUninstallEntry() {
  UninstallEntry entry;
  framework::RegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0, KEY_QUERY_VALUE | kRegistryView,
                    key.receive()) != ERROR_SUCCESS) {
    return entry;
  }
  entry.found = true;
  entry.displayName = ReadText(key.get(), L"DisplayName");
  entry.installLocation = ReadText(key.get(), L"InstallLocation");
  return entry;
}
