#pragma once
#include <string>

enum UninstallExitCode : int {
  kUninstalled = 0,    // everything is gone (the first step: and the removal copy runs)
  kSomethingLeft = 1,  // something could not be removed; the log says what
  kRefused = 2,        // nothing removed: no usable entry, or a folder that must not go
  kCancelled = 3,      // nothing removed: the user answered No
};

// The first step, in the install folder: checks the uninstall entry against
// this program's folder, asks unless `quiet`, removes the registration and
// shortcuts, then starts the removal copy for the folder.
int RunUninstall(bool quiet);

// The second step, in the removal copy: waits for the uninstaller that started
// it (process `processIdText`), removes `folder` and schedules its own file for
// deletion.
int RunRemoval(const std::wstring& folder, const std::wstring& processIdText);
