#include "system/process_termination.h"

#include <windows.h>

#include "app/install_log.h"
#include "app/process_list.h"
#include "framework/unique_handle.h"

namespace {

constexpr DWORD kGraceMilliseconds = 3000;
constexpr UINT kForcedExitCode = 1;

// The id of the first process named `exeName` other than this one, or 0.
DWORD FindOtherProcess(const std::wstring& exeName) {
  // A browser may well have saved the installer itself as the application's
  // name; it must not end itself before it has installed anything.
  const DWORD self = GetCurrentProcessId();
  DWORD found = 0;
  FindProcess([&](const PROCESSENTRY32W& entry) {
    if (entry.th32ProcessID == self || lstrlenW(entry.szExeFile) == 0 ||
        lstrcmpiW(entry.szExeFile, exeName.c_str()) != 0) {
      return false;
    }
    found = entry.th32ProcessID;
    return true;
  });
  return found;
}

}  // namespace

bool TerminateProcessByName(std::wstring exeName) {
  WriteInstallLog(L"Searching for process %s", exeName.c_str());
  const DWORD id = FindOtherProcess(exeName);
  if (id == 0) {
    WriteInstallLog(L"Process not found");
    return true;
  }
  WriteInstallLog(L"Found process");
  WriteInstallLog(L"PID = %d", static_cast<int>(id));

  framework::KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, TRUE, id));
  if (!process) return true;
  // Only a program already on its way out gets to finish; nothing asks it to.
  if (WaitForSingleObject(process.get(), kGraceMilliseconds) == WAIT_OBJECT_0) return true;
  return TerminateProcess(process.get(), kForcedExitCode) != FALSE;
}
