#include "tools/demo-release/uninstall_steps.h"

#include <windows.h>

#include "app/module_path.h"
#include "tools/demo-release/folder_removal.h"
#include "tools/demo-release/registration_removal.h"
#include "tools/demo-release/removable_folder.h"
#include "tools/demo-release/removal_copy.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/uninstall_entry.h"
#include "tools/demo-release/uninstall_log.h"
#include "tools/demo-release/uninstall_names.h"

namespace {

constexpr wchar_t kTitle[] = L"Corvanta";

int Finish(const wchar_t* step, int exitCode) {
  LogUninstall(std::wstring(L"finished ") + step + L" exit=" + std::to_wstring(exitCode));
  return exitCode;
}

// Empty when the entry lets this uninstaller remove its own folder.
std::wstring WhyNotUninstallable(const UninstallEntry& entry, const std::wstring& ownFolder) {
  if (!entry.found) return L"no uninstall entry";
  if (entry.installLocation.empty()) return L"InstallLocation is empty";
  const std::wstring unsafe = WhyNotRemovable(entry.installLocation);
  if (!unsafe.empty()) return L"InstallLocation " + unsafe;
  if (!SameFolder(entry.installLocation, ownFolder)) {
    return L"InstallLocation \"" + entry.installLocation +
           L"\" is not the uninstaller's folder \"" + ownFolder + L"\"";
  }
  return std::wstring();
}

// Empty when the removal copy may remove `folder`: one that may go at all and,
// unless it is gone already, still holds the uninstaller that started the copy.
std::wstring WhyNotRemovalTarget(const std::wstring& folder) {
  const std::wstring unsafe = WhyNotRemovable(folder);
  if (!unsafe.empty()) return unsafe;
  const bool present = GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES;
  const std::wstring uninstaller = JoinPath(folder, kUninstallerFileName);
  if (present && GetFileAttributesW(uninstaller.c_str()) == INVALID_FILE_ATTRIBUTES) {
    return L"\"" + folder + L"\" holds no " + kUninstallerFileName;
  }
  return std::wstring();
}

bool UserAgrees(const std::wstring& folder) {
  const std::wstring question =
      L"Remove Corvanta with its shortcuts and everything in its folder?\n\n" + folder;
  return MessageBoxW(nullptr, question.c_str(), kTitle,
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) == IDYES;
}

// A whole decimal number of at most 10 digits that fits a DWORD; 0 otherwise.
DWORD ReadProcessId(const std::wstring& text) {
  if (text.empty() || text.size() > 10 ||
      text.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return 0;
  }
  const unsigned long long value = std::stoull(text);
  return value <= MAXDWORD ? static_cast<DWORD>(value) : 0;
}

}  // namespace

int RunUninstall(bool quiet) {
  BeginUninstallLog();
  const UninstallEntry entry = ReadUninstallEntry();
  const std::wstring ownFolder = NormalFolder(GetModulePathParts().folder);
  const std::wstring refusal = WhyNotUninstallable(entry, ownFolder);
  if (!refusal.empty()) {
    LogUninstall(L"refused " + refusal);
    if (!quiet) {
      MessageBoxW(nullptr, (L"Corvanta cannot be uninstalled:\n" + refusal).c_str(), kTitle,
                  MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    }
    return Finish(L"uninstall", kRefused);
  }
  if (!quiet && !UserAgrees(ownFolder)) {
    LogUninstall(L"cancelled");
    return Finish(L"uninstall", kCancelled);
  }
  // The registration goes here, so that it does not depend on the copy.
  bool complete = RemoveRegistration(entry);
  complete = StartRemovalCopy(ownFolder) && complete;
  return Finish(L"uninstall", complete ? kUninstalled : kSomethingLeft);
}

int RunRemoval(const std::wstring& folder, const std::wstring& processIdText) {
  ContinueUninstallLog();
  const DWORD processId = ReadProcessId(processIdText);
  std::wstring refusal = WhyNotRemovalTarget(folder);
  if (refusal.empty() && processId == 0) {
    refusal = L"process id \"" + processIdText + L"\" is not a number";
  }
  if (!refusal.empty()) {
    LogUninstall(L"refused " + refusal);
    return Finish(L"removal", kRefused);
  }
  WaitForProcessEnd(processId);
  const bool removed = RemoveFolderTree(NormalFolder(folder));
  ScheduleOwnDeletion();
  return Finish(L"removal", removed ? kUninstalled : kSomethingLeft);
}
