#include "app/child_process.h"

#include <windows.h>
#include <shellapi.h>

#include "app/process_list.h"
#include "framework/unique_handle.h"

namespace {

// Starts `file` through the shell with verb "open"; the process handle when the
// shell gave one (it does not for a document opened by another program).
framework::KernelHandle StartProgram(int show, const std::wstring& folder,
                                     const std::wstring& file, const std::wstring& arguments,
                                     bool& started) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  // No error box from the shell: a missing program would otherwise block the
  // calling worker on a message nobody expects; the caller logs the failure.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = arguments.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = show;
  started = ShellExecuteExW(&info) != FALSE;
  return framework::KernelHandle(info.hProcess);
}

}  // namespace

bool RunProgram(int show, bool wait, const std::wstring& folder, const std::wstring& file,
                const std::wstring& arguments) {
  bool started = false;
  framework::KernelHandle process = StartProgram(show, folder, file, arguments, started);
  if (wait && process) {
    WaitForSingleObject(process.get(), INFINITE);
    return true;
  }
  return started;
}

bool RunProgramForExitCode(int show, const std::wstring& folder, const std::wstring& file,
                           const std::wstring& arguments, unsigned long& exitCode) {
  bool started = false;
  framework::KernelHandle process = StartProgram(show, folder, file, arguments, started);
  if (!process) return false;
  WaitForSingleObject(process.get(), INFINITE);
  return GetExitCodeProcess(process.get(), &exitCode) != FALSE;
}

bool SameExecutableName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  auto fold = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

bool IsProcessRunning(const std::wstring& fileName) {
  return FindProcess([&](const PROCESSENTRY32W& entry) {
    return SameExecutableName(entry.szExeFile, fileName);
  });
}
