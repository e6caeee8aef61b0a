// The second worker stage: the framework installer when it is due and the
// application package, each checked by size and digest; the package unpacked.
#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "app/child_process.h"
#include "app/install_log.h"
#include "app/outside_programs.h"
#include "app/user_folders.h"
#include "resources/resource_ids.h"
#include "ui/installer_dlg.h"
#include "update/download_verification.h"
#include "update/http_transfer.h"
#include "workflow/installer_engine.h"
#include "workflow/package_file_name.h"
#include "workflow/progress_shares.h"
#include "workflow/window_report.h"

bool InstallerEngine::RunDownloadStage(CInstallerDlg* stageWindow) {
  window = stageWindow;
  const UpdateInfo& framework = query.frameworkInfo;
  const UpdateInfo& application = query.applicationInfo;
  const bool frameworkUsable = usable(framework);
  WriteInstallLog(frameworkUsable ? L"valid config" : L"invalid config");
  WriteInstallLog(framework.needed ? L"need install .net" : L"not need install .net");
  WriteInstallLog(L"Download check .net framework");

  uint64_t frameworkBytes = 0;
  if (frameworkUsable && framework.needed) {
    WriteInstallLog(L".net framework download needed");
    frameworkBytes = framework.size;
  } else {
    WriteInstallLog(L".net framework download not needed");
  }
  uint64_t totalBytes = frameworkBytes;
  if (usable(application)) {
    WriteInstallLog(L"app download needed");
    totalBytes += application.size;
  } else {
    WriteInstallLog(L"app download not needed");
  }
  const ProgressShares shares = ComputeProgressShares(framework.size, totalBytes);

  if (frameworkUsable) {
    frameworkInstallerPath =
        DownloadPackage(framework, kFrameworkInstallerFileName, 0, shares.framework, false);
    if (frameworkInstallerPath.empty()) {
      ShowError(window, IDS_NO_CONNECTION);
      return false;
    }
  }
  if (usable(application)) {
    packageFolder = DownloadPackage(application, application.version + L".zip", shares.framework,
                                    shares.application, true);
    if (packageFolder.empty()) {
      ShowError(window, IDS_NO_CONNECTION);
      return false;
    }
  }
  return true;
}

std::wstring InstallerEngine::DownloadPackage(UpdateInfo info, std::wstring fileName,
                                              int32_t offset, int32_t span, bool extract) {
  WriteInstallLog(L"Download: %s", info.downloadUrl.c_str());
  // The name comes from the service; refused before anything is written.
  if (!IsPlainFileName(fileName)) {
    WriteInstallLog(L"Download failed");
    return std::wstring();
  }
  const std::wstring temp = TempFolder();
  const std::wstring path = temp + L"\\" + fileName;
  if (GetUrlFile(info.downloadUrl, path, span, window, &CInstallerDlg::ReportDownloadProgress,
                 offset) != TransferResult::Complete) {
    WriteInstallLog(L"Download failed");
    return std::wstring();
  }
  WriteInstallLog(L"Download ok");
  if (!CheckDownloadFile(path, info.hash, info.size)) {
    WriteInstallLog(L"CheckDownloadFile failed");
    return std::wstring();
  }
  if (!extract) return path;
  const std::wstring folder = temp + L"\\extract" + L"-" + fileName;
  if (!DecompressPackage(path, folder)) {
    WriteInstallLog(L"DecompressPackage failed");
    return std::wstring();
  }
  return PathFileExistsW(folder.c_str()) ? folder : std::wstring();
}

bool InstallerEngine::DecompressPackage(std::wstring archivePath, std::wstring folder) {
  const std::wstring base = TempFolder() + L"\\";
  const std::wstring archiver = base + kArchiverExeName;
  if (GetFileAttributesW(archiver.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  if (archivePath.find(L'\\') == std::wstring::npos) return false;
  const std::wstring arguments =
      L"x \"" + archivePath + L"\" -y -aoa -o\"" + folder + L"\"";
  // Only a clean run counts: 7za exits with 1 (warnings) or 2 (errors) after
  // leaving whatever it could unpack, and a partial package must not be installed.
  unsigned long exitCode = 1;
  return RunProgramForExitCode(SW_HIDE, base, archiver, arguments, exitCode) && exitCode == 0;
}
