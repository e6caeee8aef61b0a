#pragma once
#include <windows.h>

#include <string>

// The uninstaller's account of what it did, "<temp>\Corvanta-uninstall.log"
// (text_file.h's format). Its lines:
//   <start record>               first line of each step (start_record.h, with time)
//   removed KIND ITEM            KIND: key, value, shortcut, file, folder, link
//   missing KIND ITEM            it was not there, which is fine
//   failed KIND ITEM error=N     it is still there (Win32 error N)
//   refused REASON               nothing was removed
//   cancelled                    the user answered No
//   copied FROM to TO / started COMMAND LINE / waited for process N /
//   stopped waiting for process N / scheduled FILE for deletion at restart /
//   not scheduled FILE error=N
//   finished uninstall exit=N    last line of the first step
//   finished removal exit=N      last line of the removal copy's step
std::wstring UninstallLogPath();

// Empties the log and writes this process's start record: a new uninstall.
void BeginUninstallLog();
// Writes this process's start record after what the log holds already.
void ContinueUninstallLog();

void LogUninstall(const std::wstring& line);

// Logs the outcome of removing one item, `error` being the Win32 result of the
// removal; true when the item is gone (removed, or missing before).
bool LogRemoval(const wchar_t* kind, const std::wstring& item, DWORD error);
