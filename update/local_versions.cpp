#include "update/local_versions.h"

#include <windows.h>

#include <vector>

#include "app/registry_view.h"
#include "framework/unique_handle.h"

std::wstring GetOwnVersion() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return std::wstring();
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path, 0, size, data.data())) return std::wstring();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) ||
      info == nullptr || length < sizeof(VS_FIXEDFILEINFO)) {
    return std::wstring();
  }
  wchar_t text[64] = {};
  swprintf(text, 64, L"%d.%d.%d.%d", static_cast<int>(HIWORD(info->dwProductVersionMS)),
           static_cast<int>(LOWORD(info->dwProductVersionMS)),
           static_cast<int>(HIWORD(info->dwProductVersionLS)),
           static_cast<int>(LOWORD(info->dwProductVersionLS)));
  return text;
}

bool IsFrameworkInstalled() {
  framework::RegistryKey key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFrameworkSetupKey, 0, KEY_READ | kInstallerRegistryView,
                    key.receive()) != ERROR_SUCCESS) {
    return false;
  }
  DWORD release = 0;
  DWORD size = sizeof(release);
  // Whatever the value's type: its first four bytes are the number.
  const bool read = RegQueryValueExW(key.get(), L"Release", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&release), &size) == ERROR_SUCCESS;
  return read && release > kFirstFrameworkRelease;
}
