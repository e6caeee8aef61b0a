#include "tools/demo-release/removable_folder.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cwctype>
#include <vector>

#include "tools/demo-release/argument_text.h"
#include "tools/demo-release/shell_folders.h"

namespace {

// Shell folders that no install location may be, or hold.
constexpr int kProtectedShellFolders[] = {
    CSIDL_WINDOWS,         CSIDL_SYSTEM,           CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILES,   CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROFILE,         CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,
    CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,    CSIDL_COMMON_APPDATA,
    CSIDL_COMMON_PROGRAMS,
};

// True when `inner` is `outer` or lies somewhere below it.
bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer) {
  if (SameFolder(inner, outer)) return true;
  const std::wstring prefix = outer + L"\\";
  return inner.size() > prefix.size() &&
         SameTextIgnoringCase(inner.substr(0, prefix.size()), prefix);
}

// The temp folder, where the removal copy runs, the protected shell folders and
// the 64-bit Program Files, which the shell does not tell a 32-bit program.
std::vector<std::wstring> ProtectedFolders() {
  wchar_t programFiles64[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"ProgramW6432", programFiles64, MAX_PATH);
  std::vector<std::wstring> folders{TempFolder(), length < MAX_PATH ? programFiles64 : L""};
  for (const int csidl : kProtectedShellFolders) folders.push_back(ShellFolder(csidl));
  return folders;
}

// "X:\..." or "\\server\share...": what GetFullPathNameW does not complete
// from the current folder.
bool IsAbsolute(const std::wstring& path) {
  const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return true;
  return path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && isSeparator(path[2]);
}

}  // namespace

std::wstring NormalFolder(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  DWORD length =
      GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  full.resize(length < full.size() ? length : 0);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  return full;
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return SameTextIgnoringCase(NormalFolder(a), NormalFolder(b));
}

std::wstring WhyNotRemovable(const std::wstring& path) {
  if (TrimBlanks(path).empty()) return L"the folder is empty text";
  if (!IsAbsolute(path)) return L"\"" + path + L"\" is not an absolute path";
  const std::wstring folder = NormalFolder(path);
  if (folder.empty() || PathIsRootW(folder.c_str()) || PathIsUNCServerShareW(folder.c_str())) {
    return L"\"" + path + L"\" is a drive root";
  }
  for (const std::wstring& special : ProtectedFolders()) {
    if (!special.empty() && IsSameOrInside(NormalFolder(special), folder)) {
      return L"\"" + path + L"\" is or holds the system or user folder \"" + special + L"\"";
    }
  }
  return std::wstring();
}
