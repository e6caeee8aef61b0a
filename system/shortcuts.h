#pragma once
#include <string>

// Gives the application its two shortcuts named `name`: one to `target` on the
// console user's desktop, and a copy of it in the all-users Start menu's
// Programs folder unless a shortcut of that name is already there. Failures
// only leave a shortcut missing; the result is always true.
bool CreateShortcuts(std::wstring target, std::wstring name);

// "<all-users Programs folder>\<name>.lnk".
std::wstring ProgramsShortcutPath(const std::wstring& name);
