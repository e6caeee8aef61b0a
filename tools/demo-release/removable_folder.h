#pragma once
#include <string>

// `path` as a full path without a trailing backslash (a drive root keeps its one).
std::wstring NormalFolder(const std::wstring& path);

// True when `a` and `b` name the same folder, letter case aside.
bool SameFolder(const std::wstring& a, const std::wstring& b);

// Empty when the folder `path` may be removed with all it holds; otherwise why
// not: it is empty text or relative, a drive or share root, or a system or
// user folder of Windows, or holds one (the temp folder among them).
std::wstring WhyNotRemovable(const std::wstring& path);
