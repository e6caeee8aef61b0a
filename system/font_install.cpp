#include "system/font_install.h"

#include <windows.h>

#include "app/install_log.h"
#include "app/registry_view.h"
#include "app/resource_file.h"
#include "app/user_folders.h"
#include "framework/registry_value.h"
#include "framework/unique_handle.h"
#include "resources/resource_ids.h"

void InstallFont() {
  const std::wstring tempCopy = TempFolder() + L"\\" + kFontFileName;
  if (!WriteResourceFile(IDR_FILE_FONT, tempCopy)) {
    WriteInstallLog(L"Release font file failed");
    return;
  }

  const std::wstring fileName = tempCopy.substr(tempCopy.rfind(L'\\') + 1);
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring installed = std::wstring(windows) + L"\\Fonts\\" + fileName;

  // An existing file of that name, whatever it holds, counts as the font being installed.
  if (!CopyFileW(tempCopy.c_str(), installed.c_str(), TRUE)) {
    WriteInstallLog(L"Font installed");
    DeleteFileW(tempCopy.c_str());
    return;
  }
  if (AddFontResourceW(installed.c_str()) == 0) return;

  framework::RegistryKey key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kFontsRegistryKey, 0, const_cast<LPWSTR>(L"REG_SZ"), 0,
                      KEY_WRITE | kInstallerRegistryView, nullptr, key.receive(),
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  framework::SetStringValue(key.get(), kFontRegistryValue, fileName);
}
