#include "tests/unit/system_test_support.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>

#include "app/user_folders.h"
#include "framework/unique_handle.h"
#include "tests/support/test_support.h"

namespace system_testing {

using testing_support::Narrow;

namespace {

constexpr DWORD kShownAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;

bool IsFolderPath(const std::wstring& path) { return !path.empty() && path.back() == L'\\'; }

std::string DescribeFile(const std::wstring& path, const std::string& content, DWORD attributes) {
  std::string line = Narrow(path) + " = " + content;
  if (attributes & FILE_ATTRIBUTE_HIDDEN) line += " [hidden]";
  if (attributes & FILE_ATTRIBUTE_READONLY) line += " [read-only]";
  return line;
}

std::string JoinSorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

void DescribeInto(const std::wstring& root, const std::wstring& relative,
                  std::vector<std::string>& lines) {
  const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
  WIN32_FIND_DATAW found{};
  framework::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      lines.push_back(Narrow(path) + " -> link");
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      lines.push_back(Narrow(path) + "\\");
      DescribeInto(root, path, lines);
    } else {
      lines.push_back(DescribeFile(path, testing_support::ReadFileBytes(root + L"\\" + path),
                                   found.dwFileAttributes & kShownAttributes));
    }
  } while (FindNextFileW(search.get(), &found));
}

}  // namespace

bool MakeTree(const std::wstring& root, const std::vector<TreeEntry>& entries) {
  if (!MakePathExist(root)) return false;
  for (const TreeEntry& entry : entries) {
    const std::wstring path = root + L"\\" + entry.path;
    if (IsFolderPath(entry.path)) {
      if (!MakePathExist(path.substr(0, path.size() - 1))) return false;
      continue;
    }
    const std::string content = entry.content ? entry.content : Narrow(entry.path);
    if (!testing_support::WriteFileBytes(path, content)) return false;
    if (entry.attributes && !SetFileAttributesW(path.c_str(), entry.attributes)) return false;
  }
  return true;
}

std::string DescribeTree(const std::wstring& root) {
  if (!testing_support::FolderExists(root)) return "(no folder)\n";
  std::vector<std::string> lines;
  DescribeInto(root, std::wstring(), lines);
  return JoinSorted(lines);
}

std::string Describe(const std::vector<TreeEntry>& entries) {
  std::vector<std::string> lines;
  for (const TreeEntry& entry : entries) {
    const std::wstring path = entry.path;
    if (IsFolderPath(path)) {
      lines.push_back(Narrow(path));
    } else {
      lines.push_back(DescribeFile(path, entry.content ? entry.content : Narrow(path),
                                   entry.attributes & kShownAttributes));
    }
  }
  return JoinSorted(lines);
}

std::vector<std::wstring> EntryOrder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  framework::FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (!search) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

ShortcutContents ReadShortcut(const std::wstring& path) {
  ShortcutContents contents;
  const bool com = SUCCEEDED(CoInitialize(nullptr));
  {
    framework::ComPtr<IShellLinkW> link;
    framework::ComPtr<IPersistFile> file;
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkW, link.receive())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.receive())) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) contents.target = text;
      text[0] = L'\0';
      if (SUCCEEDED(link->GetArguments(text, MAX_PATH))) contents.arguments = text;
      text[0] = L'\0';
      if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) contents.workingFolder = text;
    }
  }
  if (com) CoUninitialize();
  return contents;
}

std::wstring LinuxSideFolder() {
  wchar_t value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(L"CORVANTA_LINUX_SIDE_FOLDER", value, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::string unixPath;
  for (const wchar_t* c = value; *c; ++c) unixPath += static_cast<char>(*c);
  return testing_support::WindowsPathOf(unixPath);
}

void KeepForLinuxSide(const std::wstring& path, const std::wstring& copyName,
                      const std::wstring& target) {
  const std::wstring folder = LinuxSideFolder();
  if (folder.empty()) return;
  CopyFileW(path.c_str(), (folder + L"\\" + copyName).c_str(), FALSE);
  const std::wstring list = folder + L"\\kept.txt";
  testing_support::WriteFileBytes(
      list, testing_support::ReadFileBytes(list) + Narrow(copyName) + "|" + Narrow(target) + "\n");
}

}  // namespace system_testing
