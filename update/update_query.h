#pragma once
#include <string>

#include "update/update_info.h"

// Everything learnt from the update service and the registry in one run.
struct UpdateQuery {
  std::wstring installLocation;  // "InstallLocation" of an existing installation
  UpdateInfo installerInfo;
  UpdateInfo applicationInfo;
  UpdateInfo frameworkInfo;
  std::wstring installPath;      // the install folder chosen in the window

  // Asks the service at `baseUrl` about the three packages and marks each
  // offer against the machine. Always true: a failed query leaves records
  // that are not usable.
  bool QueryUpdates(const std::wstring& baseUrl);

  // The installed application's version, or empty when it is not installed in
  // a usable way; sets installLocation when the uninstall entry names one.
  std::wstring GetInstalledVersion();
};
