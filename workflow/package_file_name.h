#pragma once
#include <string>

// True when `name` can stand as one file name in a folder and means nothing
// else: not empty, no path separator, colon, wildcard, quote, control
// character or "..", no trailing dot or blank, and no device name (CON, NUL,
// COM1, ...) before its first dot. The offered version becomes part of file
// and folder names, so anything else could write outside the temp folder.
bool IsPlainFileName(const std::wstring& name);
