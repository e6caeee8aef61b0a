#include "app/user_folders.h"

#include <windows.h>
#include <knownfolders.h>
#include <lmcons.h>
#include <shlobj.h>
#include <wtsapi32.h>

#include <mutex>

#include "app/install_log.h"
#include "app/product_names.h"

namespace {

std::mutex foldersMutex;
UserFolders folders;

std::wstring ProcessAccountName() {
  wchar_t name[256] = {};
  DWORD size = 256;
  GetUserNameW(name, &size);
  return name;
}

std::wstring ConsoleSessionUserName() {
  const DWORD session = WTSGetActiveConsoleSessionId();
  LPWSTR name = nullptr;
  DWORD bytes = 0;
  if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, session, WTSUserName, &name,
                                   &bytes)) {
    return std::wstring();
  }
  std::wstring result = name ? name : L"";
  WTSFreeMemory(name);
  return result;
}

std::wstring KnownDownloadsFolder() {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)) && path) {
    result = path;
  }
  CoTaskMemFree(path);
  return result;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::wstring();
  return path;
}

bool PathExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::wstring& path) {
  if (PathExists(path)) return true;
  if (CreateDirectoryW(path.c_str(), nullptr)) return true;
  // Another creator may have won the race; the folder is there all the same.
  return GetLastError() == ERROR_ALREADY_EXISTS && PathExists(path);
}

}  // namespace

std::wstring ProductFolderUnder(const std::wstring& parent) {
  return parent + L"\\" + kCompanyFolderName + L"\\" + kProductFolderName;
}

std::wstring DataFolderUnder(const std::wstring& appData) { return ProductFolderUnder(appData); }

std::wstring LogFolderUnder(const std::wstring& appData) {
  return DataFolderUnder(appData) + L"\\Log";
}

std::wstring ReplaceUserComponent(const std::wstring& path, const std::wstring& oldUser,
                                  const std::wstring& newUser) {
  const std::wstring from = L"\\" + oldUser + L"\\";
  const std::wstring to = L"\\" + newUser + L"\\";
  std::wstring result;
  size_t start = 0;
  for (size_t hit; (hit = path.find(from, start)) != std::wstring::npos; start = hit + from.size()) {
    result.append(path, start, hit - start).append(to);
  }
  return result.append(path, start, std::wstring::npos);
}

UserFolders ResolveUserFolders(const ShellUserFolders& shell, const std::wstring& processUser,
                               const std::wstring& logonUser) {
  WriteInstallLog(L"ProcessUser: %s, LogonUser: %s", processUser.c_str(), logonUser.c_str());
  UserFolders result;
  result.downloadFolder = shell.downloads;
  WriteInstallLog(L"Original download folder: %s", result.downloadFolder.c_str());
  result.dataFolder = DataFolderUnder(shell.appData);
  WriteInstallLog(L"Original appdata folder: %s", result.dataFolder.c_str());
  result.tempFolder = result.dataFolder + L"\\Temp";
  WriteInstallLog(L"Original appdata tmp folder: %s", result.tempFolder.c_str());
  result.logFolder = LogFolderUnder(shell.appData);
  WriteInstallLog(L"Original appdata log folder: %s", result.logFolder.c_str());
  result.desktopFolder = shell.desktop;

  if (!logonUser.empty() && lstrcmpiW(logonUser.c_str(), processUser.c_str()) != 0) {
    WriteInstallLog(L"logon user is different from process user, replace");
    for (std::wstring* member : {&result.downloadFolder, &result.dataFolder, &result.tempFolder,
                                 &result.logFolder, &result.desktopFolder}) {
      *member = ReplaceUserComponent(*member, processUser, logonUser);
    }
    WriteInstallLog(L"After replace download folder: %s", result.downloadFolder.c_str());
    WriteInstallLog(L"After replace appdata folder: %s", result.dataFolder.c_str());
    WriteInstallLog(L"After replace appdata tmp folder: %s", result.tempFolder.c_str());
    WriteInstallLog(L"After replace appdata log folder: %s", result.logFolder.c_str());
    WriteInstallLog(L"After replace desktop link: %s", result.desktopFolder.c_str());
  } else {
    WriteInstallLog(L"logon user is process user, skipping replace");
  }
  return result;
}

void ProcessUser() {
  const std::wstring processUser = ProcessAccountName();
  const std::wstring logonUser = ConsoleSessionUserName();
  // The shell is asked in the order the log reports it.
  ShellUserFolders shell;
  shell.downloads = KnownDownloadsFolder();
  shell.appData = SpecialFolder(CSIDL_APPDATA);
  shell.desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
  UserFolders resolved = ResolveUserFolders(shell, processUser, logonUser);
  {
    std::lock_guard<std::mutex> lock(foldersMutex);
    resolved.defaultInstallFolder = folders.defaultInstallFolder;
    folders = resolved;
  }
  for (const std::wstring* folder : {&resolved.downloadFolder, &resolved.dataFolder,
                                     &resolved.tempFolder, &resolved.logFolder}) {
    MakePathExist(*folder);
  }
}

UserFolders CurrentUserFolders() {
  std::lock_guard<std::mutex> lock(foldersMutex);
  return folders;
}

void SetDefaultInstallFolder(const std::wstring& folder) {
  std::lock_guard<std::mutex> lock(foldersMutex);
  folders.defaultInstallFolder = folder;
}

std::wstring TempFolder() {
  if (CurrentUserFolders().tempFolder.empty()) ProcessUser();
  return CurrentUserFolders().tempFolder;
}

std::wstring DesktopFolder() {
  if (CurrentUserFolders().desktopFolder.empty()) ProcessUser();
  return CurrentUserFolders().desktopFolder;
}

bool MakePathExist(const std::wstring& path) {
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == L'\\' && !EnsureFolder(path.substr(0, i))) return false;
  }
  return EnsureFolder(path);
}
