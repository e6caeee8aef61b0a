#pragma once
#include <windows.h>

#include <string>

// Deletes the file `path`, read-only or not; the Win32 result (ERROR_SUCCESS
// when it is gone, ERROR_FILE_NOT_FOUND when it was not there).
DWORD DeleteFileForcibly(const std::wstring& path);

// Removes the folder `folder` with all it holds, read-only items too, and logs
// each removed item. A link (any reparse point) is removed as itself and never
// followed. Items that are still in use get a few more tries, half a second
// apart; what is left after the last one is logged as failed. True when the
// folder is gone.
bool RemoveFolderTree(const std::wstring& folder);
