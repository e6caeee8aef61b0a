#pragma once
// The names the installer relies on in the application package and around it.

inline constexpr wchar_t kApplicationExeName[] = L"Corvanta.exe";
inline constexpr wchar_t kUpdaterExeName[] = L"Corvanta.Updater.exe";
inline constexpr wchar_t kUninstallerExeName[] = L"uninstaller.exe";
inline constexpr wchar_t kArchiverExeName[] = L"7za.exe";
inline constexpr wchar_t kFrameworkInstallerFileName[] =
    L"4.5.2_offine_installer_NDP452-KB2901907-x86-x64-AllOS-ENU.exe";
inline constexpr wchar_t kFrameworkInstallerArguments[] = L"/q /norestart ";
inline constexpr wchar_t kFrameworkVersion[] = L"4.5.2";
// The argument the Run value starts the application with.
inline constexpr wchar_t kAutostartArgument[] = L"/WinStart";
