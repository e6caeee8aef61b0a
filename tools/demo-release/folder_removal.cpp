#include "tools/demo-release/folder_removal.h"

#include <algorithm>
#include <vector>

#include "framework/unique_handle.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/uninstall_log.h"

namespace {

// Files of a program that has just ended can stay locked for a moment.
constexpr int kRemovalPasses = 5;
constexpr DWORD kPauseBetweenPasses = 500;

struct FolderItem {
  std::wstring path;
  DWORD attributes;
};

// The items in `folder`, sorted by name so that the log reads alike each time.
std::vector<FolderItem> ListFolder(const std::wstring& folder) {
  std::vector<FolderItem> items;
  WIN32_FIND_DATAW found{};
  framework::FindHandle search(FindFirstFileW(JoinPath(folder, L"*").c_str(), &found));
  if (!search) return items;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    items.push_back({JoinPath(folder, name), found.dwFileAttributes});
  } while (FindNextFileW(search.get(), &found));
  std::sort(items.begin(), items.end(),
            [](const FolderItem& a, const FolderItem& b) { return a.path < b.path; });
  return items;
}

DWORD ResultOf(BOOL done) { return done ? ERROR_SUCCESS : GetLastError(); }

// Windows refuses to delete a read-only file or folder, so the attribute goes first.
void ClearReadOnly(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Removes one item, a folder after what it holds. Removals are logged at once,
// failures only in the last pass, as an earlier one is tried again.
bool RemoveItem(const FolderItem& item, bool lastPass) {
  const bool isFolder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const bool isLink = (item.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if (isFolder && !isLink) {
    for (const FolderItem& inner : ListFolder(item.path)) RemoveItem(inner, lastPass);
  }
  ClearReadOnly(item.path, item.attributes);
  const DWORD result = isFolder ? ResultOf(RemoveDirectoryW(item.path.c_str()))
                                : ResultOf(DeleteFileW(item.path.c_str()));
  if (result != ERROR_SUCCESS && !lastPass) return false;
  return LogRemoval(isLink ? L"link" : isFolder ? L"folder" : L"file", item.path, result);
}

}  // namespace

DWORD DeleteFileForcibly(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  ClearReadOnly(path, attributes);
  return ResultOf(DeleteFileW(path.c_str()));
}

bool RemoveFolderTree(const std::wstring& folder) {
  for (int pass = 1;; ++pass) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LogRemoval(L"folder", folder, GetLastError());
    const bool lastPass = pass == kRemovalPasses;
    if (RemoveItem({folder, attributes}, lastPass)) return true;
    if (lastPass) return false;
    Sleep(kPauseBetweenPasses);
  }
}
