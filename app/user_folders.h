#pragma once
#include <string>

// The per-user folders the installer works with, resolved for the user at the
// console even when the elevated process runs under another account.
struct UserFolders {
  std::wstring logFolder;
  std::wstring tempFolder;
  std::wstring defaultInstallFolder;
  std::wstring dataFolder;
  std::wstring downloadFolder;
  std::wstring desktopFolder;
};

// What the shell reports for the process account, before any substitution.
struct ShellUserFolders {
  std::wstring appData;    // roaming application data
  std::wstring downloads;  // the Downloads known folder
  std::wstring desktop;    // the desktop directory
};

// A snapshot of the process-wide set; each member is whole, even while another
// thread resolves the set again.
UserFolders CurrentUserFolders();
void SetDefaultInstallFolder(const std::wstring& folder);

// Resolves the process-wide set for the console user and logs each step.
void ProcessUser();

// The decision part of ProcessUser, free of platform queries: forms the five
// members from what the shell reported, moves them into the logon user's
// profile when the accounts differ, and logs every step.
UserFolders ResolveUserFolders(const ShellUserFolders& shell, const std::wstring& processUser,
                               const std::wstring& logonUser);

// Replaces every "\old\" by "\new\", left to right without overlaps, letter case significant.
std::wstring ReplaceUserComponent(const std::wstring& path, const std::wstring& oldUser,
                                  const std::wstring& newUser);

// "<parent>\Velmar\Corvanta": the data folder, the install folder.
std::wstring ProductFolderUnder(const std::wstring& parent);
// "<appData>\Velmar\Corvanta\Log" and friends.
std::wstring DataFolderUnder(const std::wstring& appData);
std::wstring LogFolderUnder(const std::wstring& appData);

// Creates every missing folder of `path`; true when the whole path exists afterwards.
bool MakePathExist(const std::wstring& path);

// The member a caller needs, resolving the set first when that member is still empty.
std::wstring TempFolder();
std::wstring DesktopFolder();
