#include "system/file_tree.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

#include "app/user_folders.h"
#include "framework/unique_handle.h"

namespace {

// The longest search pattern the folder walk accepts: what Windows takes
// without long-path support. Wine takes longer ones, so the limit is kept here,
// and a folder deeper than that counts as one that cannot be searched.
constexpr size_t kLongestSearchPattern = MAX_PATH - 1;

struct FolderEntry {
  std::wstring fullPath;  // the searched folder's absolute path, a backslash, the name
  std::wstring name;
  DWORD attributes;
  DWORD reparseTag;

  bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // Junctions and symbolic links are reparse points whose tag says they stand
  // for another name; other reparse points (cloud placeholders, deduplicated
  // files) are ordinary content. Wine 8 makes no links, but shows a Unix link
  // to a folder as a reparse point with tag 0; one to a file it shows as a
  // plain file, and deleting that deletes its target.
  bool IsLink() const {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag));
  }
};

// The searched folder of `pattern` in absolute form, with a trailing backslash,
// so that a relative path names its entries as its absolute form would.
std::wstring AbsoluteFolderOf(const std::wstring& pattern) {
  std::wstring path(GetFullPathNameW(pattern.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD length =
      GetFullPathNameW(pattern.c_str(), static_cast<DWORD>(path.size()), path.data(), nullptr);
  path.resize(length > 0 && length < path.size() ? length : 0);
  if (path.empty()) path = pattern;
  return path.substr(0, path.rfind(L'\\') + 1);
}

// The entries of one folder level other than "." and "..", in the order the
// file system returns them; false when the search cannot start (no such
// folder, or a pattern that is too long).
bool ListFolder(const std::wstring& folder, std::vector<FolderEntry>& entries) {
  std::wstring pattern = folder;
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  pattern += L"*.*";
  if (pattern.size() > kLongestSearchPattern) return false;

  WIN32_FIND_DATAW found{};
  framework::FindHandle search(FindFirstFileW(pattern.c_str(), &found));
  if (!search) return false;

  const std::wstring root = AbsoluteFolderOf(pattern);

  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // For a reparse point the search reports its tag in dwReserved0.
    entries.push_back({root + name, name, found.dwFileAttributes, found.dwReserved0});
  } while (FindNextFileW(search.get(), &found));
  return true;
}

}  // namespace

bool CopyFolderTree(std::wstring source, std::wstring destination) {
  std::vector<FolderEntry> entries;
  if (!ListFolder(source, entries)) return true;
  for (const FolderEntry& entry : entries) {
    // A link in the package is not part of what is installed: following it
    // would copy whatever it points at from outside the package.
    if (entry.IsLink()) continue;
    const std::wstring target = destination + L"\\" + entry.name;
    if (entry.IsFolder()) {
      CreateDirectoryW(target.c_str(), nullptr);  // an existing folder is fine
      if (!CopyFolderTree(entry.fullPath, target)) return false;
    } else if (!CopyFileW(entry.fullPath.c_str(), target.c_str(), FALSE)) {
      return false;
    }
  }
  return true;
}

void RemoveFolder(std::wstring path) {
  if (path.size() <= 3) return;
  std::vector<FolderEntry> entries;
  ListFolder(path, entries);
  for (const FolderEntry& entry : entries) {
    if (entry.IsFolder() && entry.IsLink()) {
      // A junction in the install folder may well point at the user's
      // documents: remove the link, never what it points at. (Wine 8 applies
      // this to a Unix link's target instead: it removes an empty one and
      // refuses a full one, and the link stays.)
      RemoveDirectoryW(entry.fullPath.c_str());
    } else if (entry.IsFolder()) {
      RemoveFolder(entry.fullPath);
    } else {
      DeleteFileW(entry.fullPath.c_str());  // a file link goes as itself
    }
  }
  RemoveDirectoryW(path.c_str());
}

void DeleteDesktopShortcut(std::wstring name) {
  const std::wstring shortcut = DesktopFolder() + L"\\" + name + L".lnk";
  if (PathFileExistsW(shortcut.c_str())) DeleteFileW(shortcut.c_str());
}
