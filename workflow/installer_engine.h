#pragma once
#include <cstdint>
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

  // The check stage: waits for a connection, asks the service what is current,
  // writes the archiver, hands over to a newer installer, and decides what the
  // window offers next.
  void RunCheckStage(CInstallerDlg* window);

  // The download stage: fetches the framework installer when it is due and the
  // application package, checks both and unpacks the package. True when every
  // download that was due succeeded (also when none was due).
  bool RunDownloadStage(CInstallerDlg* window);

  // Downloads `info` into the temp folder as `fileName`, the bar moving from
  // `offset` over `span` percent, and checks it. The file's path, or with
  // `extract` the folder it was unpacked into; empty on any failure.
  std::wstring DownloadPackage(UpdateInfo info, std::wstring fileName, int32_t offset,
                               int32_t span, bool extract);

  // Unpacks `archivePath` into `folder` with the archiver in the temp folder.
  // True only when the archiver ran and reported no error.
  bool DecompressPackage(std::wstring archivePath, std::wstring folder);

  // The install stage: framework, the install folder's contents, registration,
  // shortcuts, autostart, the clean-up and the start of the updater.
  void RunInstallStage(CInstallerDlg* window);

  // Copies the tree under `source` into `destination`, replacing existing files.
  // True when every file was copied or there was nothing to enumerate.
  bool CopytoInstallPath(std::wstring source, std::wstring destination);

  // Writes the machine-wide uninstall entry for `installFolder`, with the
  // version the service sent for the application.
  bool RegisterToSystem(std::wstring installFolder);
};
