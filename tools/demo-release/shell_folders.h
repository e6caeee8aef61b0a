#pragma once
#include <string>

// The shell folder `csidl` (CSIDL_...) of the process's user; empty when the
// shell does not know it.
std::wstring ShellFolder(int csidl);

// The user's temporary folder, without a trailing backslash.
std::wstring TempFolder();

// "<folder>\<name>".
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
