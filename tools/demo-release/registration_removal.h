#pragma once
#include "tools/demo-release/uninstall_entry.h"

// Removes the uninstall entry, the autostart value and the two shortcuts named
// after the entry's display name (the user's desktop, the all-users Programs
// folder), logging each. False when any of them is still there.
bool RemoveRegistration(const UninstallEntry& entry);
