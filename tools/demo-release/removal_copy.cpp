#include "tools/demo-release/removal_copy.h"

#include "app/module_path.h"
#include "framework/unique_handle.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/uninstall_log.h"

namespace {

constexpr DWORD kLongestWaitForProcess = 30 * 1000;
constexpr int kCopyNameTries = 100;

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// "<temp>\Corvanta-uninstall-<pid>-<n>.exe" for the first n that is free; empty
// when no copy could be made.
std::wstring CopyOwnProgram() {
  const std::wstring self = GetModulePathParts().fullPath;
  const std::wstring stem = JoinPath(TempFolder(), L"Corvanta-uninstall-") +
                            std::to_wstring(GetCurrentProcessId()) + L"-";
  DWORD error = ERROR_FILE_EXISTS;
  for (int n = 0; n < kCopyNameTries && error == ERROR_FILE_EXISTS; ++n) {
    const std::wstring copy = stem + std::to_wstring(n) + L".exe";
    // Failing on an existing file makes the name this process's own.
    if (CopyFileW(self.c_str(), copy.c_str(), TRUE)) {
      LogUninstall(L"copied " + self + L" to " + copy);
      return copy;
    }
    error = GetLastError();
  }
  LogUninstall(L"failed copy " + self + L" error=" + std::to_wstring(error));
  return std::wstring();
}

}  // namespace

bool StartRemovalCopy(const std::wstring& installFolder) {
  const std::wstring copy = CopyOwnProgram();
  if (copy.empty()) return false;
  std::wstring commandLine = Quoted(copy) + L" /remove " + Quoted(installFolder) + L" " +
                             std::to_wstring(GetCurrentProcessId());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  // Started in the temp folder: a current folder inside the install folder
  // would keep it from being removed.
  const std::wstring workingFolder = TempFolder();
  if (!CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.c_str(), &startup, &started)) {
    LogUninstall(L"failed start " + commandLine + L" error=" + std::to_wstring(GetLastError()));
    DeleteFileW(copy.c_str());
    return false;
  }
  framework::KernelHandle process(started.hProcess);
  framework::KernelHandle thread(started.hThread);
  LogUninstall(L"started " + commandLine);
  return true;
}

void WaitForProcessEnd(DWORD processId) {
  framework::KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!process) {
    LogUninstall(L"process " + std::to_wstring(processId) + L" has ended");
    return;
  }
  const bool ended = WaitForSingleObject(process.get(), kLongestWaitForProcess) == WAIT_OBJECT_0;
  LogUninstall(std::wstring(ended ? L"waited" : L"stopped waiting") + L" for process " +
               std::to_wstring(processId));
}

void ScheduleOwnDeletion() {
  const std::wstring self = GetModulePathParts().fullPath;
  if (MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    LogUninstall(L"scheduled " + self + L" for deletion at restart");
  } else {
    LogUninstall(L"not scheduled " + self + L" error=" + std::to_wstring(GetLastError()));
  }
}
