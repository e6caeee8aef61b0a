#pragma once
#include <string>

// Writes the per-user Run value `valueName`: the quoted `programPath`, a blank
// and the autostart argument. The Run key is opened, never created: false when
// it is missing or the value cannot be set.
bool RegisterAutostart(std::wstring valueName, std::wstring programPath);

// Writes the machine-wide uninstall entry of the application installed in
// `installFolder` at `applicationVersion`. True when the key was created or
// opened and all nine values were written; nothing after the first failure.
bool RegisterUninstallEntry(const std::wstring& installFolder,
                            const std::wstring& applicationVersion);
