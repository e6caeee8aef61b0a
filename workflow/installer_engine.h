#pragma once
#include <string>

#include "update/update_query.h"

class CInstallerDlg;

// The state the check, download and install stages share. One lives in the
// main window and dies with it.
struct InstallerEngine {
  std::wstring frameworkInstallerPath;  // the downloaded .NET Framework installer
  std::wstring packageFolder;           // where the application package was unpacked
  CInstallerDlg* window = nullptr;      // the window the running stage reports to; not owned
  UpdateQuery query;

  // Copies the tree under `source` into `destination`, replacing existing files.
  // True when every file was copied or there was nothing to enumerate.
  bool CopytoInstallPath(std::wstring source, std::wstring destination);

  // Writes the machine-wide uninstall entry for `installFolder`, with the
  // version the service sent for the application.
  bool RegisterToSystem(std::wstring installFolder);
};
