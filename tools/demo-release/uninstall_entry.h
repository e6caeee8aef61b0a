#pragma once
#include <string>

// What the uninstaller needs from the application's uninstall entry.
struct UninstallEntry {
  bool found = false;
  std::wstring displayName;      // also the name of both shortcuts
  std::wstring installLocation;  // empty when missing or not text
};

UninstallEntry ReadUninstallEntry();
