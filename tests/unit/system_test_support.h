#pragma once
// What the tests of file trees, shortcuts and links share.
#include <windows.h>

#include <string>
#include <vector>

namespace system_testing {

// One entry of a folder tree as a test writes it down: a folder when the path
// ends in a backslash, else a file holding `content` (its own path when null)
// with the hidden and read-only attributes of `attributes`. Folders are listed
// explicitly, parents before their entries.
struct TreeEntry {
  const wchar_t* path;
  const char* content = nullptr;
  DWORD attributes = 0;
};

// Creates `root` and the entries under it.
bool MakeTree(const std::wstring& root, const std::vector<TreeEntry>& entries);

// One sorted line per entry under `root`, in the words of Describe(): folders
// end in a backslash, files show their content and "[hidden]"/"[read-only]",
// links show "-> link" and are not entered. "(no folder)" when `root` is missing.
std::string DescribeTree(const std::wstring& root);
std::string Describe(const std::vector<TreeEntry>& entries);

// The names in one folder, "." and ".." left out, in the order the file system
// returns them.
std::vector<std::wstring> EntryOrder(const std::wstring& folder);

// What a shortcut file holds, read back through the shell.
struct ShortcutContents {
  std::wstring target;
  std::wstring arguments;
  std::wstring workingFolder;
};
ShortcutContents ReadShortcut(const std::wstring& path);

// The Linux folder a test script named in CORVANTA_LINUX_SIDE_FOLDER, as Wine
// shows it (Z:\...); empty when the test runs without one.
std::wstring LinuxSideFolder();

// Leaves a copy of the shortcut `path` in the Linux-side folder as `copyName`,
// and a line "copyName|target" in its kept.txt, for lnkinfo to check there.
// Does nothing without a Linux-side folder.
void KeepForLinuxSide(const std::wstring& path, const std::wstring& copyName,
                      const std::wstring& target);

}  // namespace system_testing
