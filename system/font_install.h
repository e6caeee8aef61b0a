#pragma once
#include <string>

inline constexpr wchar_t kFontFileName[] = L"Roboto-Regular.ttf";
inline constexpr wchar_t kFontRegistryValue[] = L"Roboto-Regular (TrueType)";
inline constexpr wchar_t kFontsRegistryKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// Installs the window font from the embedded resource into the system's font
// folder, unless a file of that name is already there.
void InstallFont();
