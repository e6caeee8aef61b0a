#pragma once
// Names that tie the installer to its product and publisher.

inline constexpr wchar_t kCompanyFolderName[] = L"Velmar";
inline constexpr wchar_t kProductFolderName[] = L"Corvanta";
// The fixed product name of registry keys; the display name is string 123.
inline constexpr wchar_t kProductName[] = L"Corvanta";
inline constexpr wchar_t kPublisherName[] = L"Velmar AG";
inline constexpr wchar_t kSingleInstanceMutexName[] =
    L"VelmarDuoport_3b9f2c71-5d4e-4a08-9c6b-e81f07a2d5c4";

// The machine-wide uninstall entry of the application (HKEY_LOCAL_MACHINE).
inline constexpr wchar_t kUninstallKey[] =
    L"SOFTWARE\\Microsoft\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\Corvanta";
// The per-user autostart key (HKEY_CURRENT_USER).
inline constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\WINDOWS\\CURRENTVERSION\\RUN";
