#pragma once
// What the installer registers for the application, written out here on their
// own so that the demo uninstaller checks the installer rather than sharing its
// constants.
#include <windows.h>

// HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kUninstallEntryKey[] =
    L"SOFTWARE\\Microsoft\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\Corvanta";
// HKEY_CURRENT_USER, value kAutostartValueName.
inline constexpr wchar_t kAutostartKey[] = L"SOFTWARE\\Microsoft\\WINDOWS\\CURRENTVERSION\\RUN";
inline constexpr wchar_t kAutostartValueName[] = L"Corvanta";
// The 32-bit view the 32-bit installer writes on 64-bit Windows; the 64-bit
// test build asks for it to reach the same keys.
inline constexpr REGSAM kRegistryView = KEY_WOW64_32KEY;

inline constexpr wchar_t kUninstallerFileName[] = L"uninstaller.exe";
inline constexpr wchar_t kUninstallLogFileName[] = L"Corvanta-uninstall.log";
