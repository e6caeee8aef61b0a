#include "tools/demo-release/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
    return std::wstring();
  }
  return path;
}

std::wstring TempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  std::wstring folder = length > 0 && length <= MAX_PATH ? path : L"";
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}
