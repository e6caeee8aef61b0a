#pragma once
#include <string>

// The running installer's product version as "a.b.c.d", or empty without a
// version resource.
std::wstring GetOwnVersion();

// True when the .NET Framework 4 "Release" number is above 378389, the first
// 4.5 release: every later 4.5.x, 4.6 or newer counts.
bool IsFrameworkInstalled();

inline constexpr wchar_t kFrameworkSetupKey[] =
    L"SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full\\";
inline constexpr unsigned long kFirstFrameworkRelease = 378389;
