#include "tools/demo-release/uninstall_log.h"

#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/start_record.h"
#include "tools/demo-release/text_file.h"
#include "tools/demo-release/uninstall_names.h"

std::wstring UninstallLogPath() { return JoinPath(TempFolder(), kUninstallLogFileName); }

void BeginUninstallLog() {
  EmptyFile(UninstallLogPath());
  ContinueUninstallLog();
}

void ContinueUninstallLog() { LogUninstall(StartRecord(true)); }

void LogUninstall(const std::wstring& line) { AppendLine(UninstallLogPath(), line); }

bool LogRemoval(const wchar_t* kind, const std::wstring& item, DWORD error) {
  const std::wstring what = std::wstring(kind) + L" " + item;
  if (error == ERROR_SUCCESS) {
    LogUninstall(L"removed " + what);
    return true;
  }
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    LogUninstall(L"missing " + what);
    return true;
  }
  LogUninstall(L"failed " + what + L" error=" + std::to_wstring(error));
  return false;
}
