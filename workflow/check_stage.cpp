// The first worker stage: connection, service query, archiver, self-update and
// the decision what the window offers.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "app/child_process.h"
#include "app/install_log.h"
#include "app/module_path.h"
#include "app/outside_programs.h"
#include "app/resource_file.h"
#include "app/user_folders.h"
#include "resources/resource_ids.h"
#include "ui/installer_dlg.h"
#include "update/download_verification.h"
#include "update/http_transfer.h"
#include "update/service_endpoint.h"
#include "workflow/installer_engine.h"
#include "workflow/window_report.h"

namespace {

bool IsConnected() {
  DWORD flags = 0;
  return InternetGetConnectedState(&flags, 0) != FALSE;
}

void WaitForConnection(CInstallerDlg* window) {
  if (IsConnected()) return;
  window->ShowStage(kStageNoConnection);
  while (!IsConnected()) Sleep(500);
}

enum class SelfUpdate {
  HandedOver,  // the new installer runs and the window is closed
  Stopped,     // the error stage shows
  GoOn,        // the running installer carries on
};

// Downloads the newer installer beside the running one and, when it checks out,
// starts it and closes the window.
SelfUpdate HandOverToNewInstaller(CInstallerDlg* window, const UpdateInfo& installer) {
  WriteInstallLog(L"Installer new version exist");
  const ModulePathParts self = GetModulePathParts();
  const std::wstring target = self.folder + L"\\tmp" + self.fileName;
  window->ShowStage(kStageUpdatingInstaller);
  const TransferResult result = GetUrlFile(installer.downloadUrl, target, 100, window,
                                           &CInstallerDlg::ReportDownloadProgress, 0);
  if (result == TransferResult::Complete) {
    WriteInstallLog(L"Download new installer ok");
    if (CheckDownloadFile(target, installer.hash, installer.size)) {
      OutputDebugStringW(L"Check new installer ok");
      RunProgram(SW_HIDE, false, self.folder, target, L"u " + WindowPositionText(window));
      CloseWindowAndWait(window);
      return SelfUpdate::HandedOver;
    }
    WriteInstallLog(L"Check new installer error");
  } else if (result == TransferResult::Failed && !IsConnected()) {
    WriteInstallLog(L"Download failed for network reason. Run this version");
    ShowError(window, IDS_NO_CONNECTION);
    DeleteFileW(target.c_str());
    return SelfUpdate::Stopped;
  } else {
    WriteInstallLog(L"Download failed for other reason but not network disconnect. Run this version");
  }
  DeleteFileW(target.c_str());
  return SelfUpdate::GoOn;
}

void StartInstalledApplication(CInstallerDlg* window, const std::wstring& installLocation) {
  WriteInstallLog(L"No valid app to download, start the installed one: %s",
                  installLocation.c_str());
  const std::wstring exe = installLocation + L"\\" + kApplicationExeName;
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    WriteInstallLog(L"app exe not exist");
    ShowError(window, IDS_SERVER_CONFIG_ERROR);
    return;
  }
  window->ShowStage(kStageFinished);
  RunProgram(SW_SHOW, false, installLocation, exe, WindowPositionText(window));
  CloseWindowAndWait(window);
}

}  // namespace

void InstallerEngine::RunCheckStage(CInstallerDlg* stageWindow) {
  window = stageWindow;
  WaitForConnection(window);
  window->ShowStage(kStageChecking);

  const std::wstring base = GetServerBaseUrl();
  WriteInstallLog(L"Server: %s", base.c_str());
  query.QueryUpdates(base);

  if (!WriteResourceFile(IDR_FILE_ARCHIVER, TempFolder() + L"\\" + kArchiverExeName)) {
    WriteInstallLog(L"7za.exe error");
    ShowError(window, IDS_UNKNOWN_ERROR);
    return;
  }

  if (usable(query.installerInfo) &&
      HandOverToNewInstaller(window, query.installerInfo) != SelfUpdate::GoOn) {
    return;
  }

  WriteInstallLog(L"Run this...");
  window->ShowStage(kStagePreparing);
  if (query.frameworkInfo.needed == 1 || usable(query.applicationInfo)) {
    window->ShowStage(kStageOptions);
    return;
  }

  const std::wstring installed = query.GetInstalledVersion();
  if (!installed.empty()) {
    StartInstalledApplication(window, query.installLocation);
    return;
  }
  WriteInstallLog(L"app is never installed and no valid app to download");
  ShowError(window, IDS_SERVER_CONFIG_ERROR);
}
