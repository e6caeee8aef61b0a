#pragma once
#include <string>

// Orders two version texts: negative, zero or positive as `a` is older than,
// the same as, or newer than `b`. Texts that are both decimal numbers joined
// by dots compare number by number (a missing trailing number counts as 0), so
// 1.0.10.0 is newer than 1.0.9.0; any other pair compares as UTF-16 text, code
// unit by code unit, the shorter text first when one is the start of the other.
int CompareVersions(const std::wstring& a, const std::wstring& b);
