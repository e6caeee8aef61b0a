#pragma once
#include <string>

// Writes the per-user Run value `valueName`: the quoted `programPath`, a blank
// and the autostart argument. The Run key is opened, never created: false when
// it is missing or the value cannot be set.
bool RegisterAutostart(std::wstring valueName, std::wstring programPath);

// The machine-wide uninstall entry is written by InstallerEngine::RegisterToSystem
// (workflow/installer_engine.h), defined in uninstall_registration.cpp.
