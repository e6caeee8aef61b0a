#pragma once
#include <windows.h>
#include <string>

// Writes FILE resource `resourceId` of the program's own module to `path`,
// replacing whatever is there. True when the file was created and written.
bool WriteResourceFile(WORD resourceId, const std::wstring& path);
