#include "tools/demo-release/registration_removal.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/unique_handle.h"
#include "tools/demo-release/folder_removal.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/uninstall_log.h"
#include "tools/demo-release/uninstall_names.h"

namespace {

bool RemoveUninstallEntry() {
  framework::RegistryKey key;
  LSTATUS result = RegOpenKeyExW(
      HKEY_LOCAL_MACHINE, kUninstallEntryKey, 0,
      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | kRegistryView,
      key.receive());
  // Its values and any subkeys first, as RegDeleteKeyExW only takes a key without subkeys.
  if (result == ERROR_SUCCESS) result = RegDeleteTreeW(key.get(), nullptr);
  key.reset();
  if (result == ERROR_SUCCESS) {
    result = RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntryKey, kRegistryView, 0);
  }
  return LogRemoval(L"key", std::wstring(L"HKLM\\") + kUninstallEntryKey,
                    static_cast<DWORD>(result));
}

bool RemoveAutostartValue() {
  framework::RegistryKey key;
  LSTATUS result = RegOpenKeyExW(HKEY_CURRENT_USER, kAutostartKey, 0, KEY_SET_VALUE | kRegistryView,
                                 key.receive());
  if (result == ERROR_SUCCESS) result = RegDeleteValueW(key.get(), kAutostartValueName);
  return LogRemoval(L"value", std::wstring(L"HKCU\\") + kAutostartKey + L"\\" + kAutostartValueName,
                    static_cast<DWORD>(result));
}

// A display name that would lead a shortcut path out of its folder is not used.
bool UsableShortcutName(const std::wstring& name) {
  return !name.empty() && name.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos &&
         name != L"." && name != L"..";
}

bool RemoveShortcut(int folderCsidl, const std::wstring& name) {
  const std::wstring folder = ShellFolder(folderCsidl);
  if (folder.empty()) {
    LogUninstall(L"failed shortcut folder " + std::to_wstring(folderCsidl) + L" error=" +
                 std::to_wstring(ERROR_PATH_NOT_FOUND));
    return false;
  }
  const std::wstring shortcut = JoinPath(folder, name + L".lnk");
  return LogRemoval(L"shortcut", shortcut, DeleteFileForcibly(shortcut));
}

}  // namespace

bool RemoveRegistration(const UninstallEntry& entry) {
  bool complete = RemoveUninstallEntry();
  complete = RemoveAutostartValue() && complete;
  if (!UsableShortcutName(entry.displayName)) {
    LogUninstall(L"missing shortcut name: DisplayName \"" + entry.displayName + L"\"");
    return complete;
  }
  complete = RemoveShortcut(CSIDL_DESKTOPDIRECTORY, entry.displayName) && complete;
  complete = RemoveShortcut(CSIDL_COMMON_PROGRAMS, entry.displayName) && complete;
  return complete;
}
