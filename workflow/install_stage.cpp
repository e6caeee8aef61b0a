// The third worker stage: framework, install folder, registration, shortcuts,
// autostart, clean-up and the start of the updater.
#include <windows.h>

#include <string>

#include "app/child_process.h"
#include "app/install_log.h"
#include "app/outside_programs.h"
#include "app/user_folders.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "system/file_tree.h"
#include "system/process_termination.h"
#include "system/shortcuts.h"
#include "system/uninstall_registration.h"
#include "ui/installer_dlg.h"
#include "update/local_versions.h"
#include "workflow/finish.h"
#include "workflow/installer_engine.h"
#include "workflow/window_report.h"

namespace {

inline constexpr wchar_t kAutostartValueName[] = L"Corvanta";

void FailInstallStage(CInstallerDlg* window) {
  ShowError(window, IDS_INSTALL_FAILED);
  window->SetProgressTimer(false);
}

// Reached the milestone: the bar stands there and may creep up to `ceiling`.
void ReachMilestone(CInstallerDlg* window, int position, int ceiling) {
  SetProgressPosition(window, position);
  window->ProgressCeiling = ceiling;
}

}  // namespace

void InstallerEngine::RunInstallStage(CInstallerDlg* window) {
  WriteInstallLog(L"Install");
  window->ShowStage(kStageInstalling);
  const std::wstring temp = TempFolder();
  window->ProgressCeiling = 600;
  window->SetProgressTimer(true);

  if (usable(query.frameworkInfo)) {
    WriteInstallLog(L"Install .net framwork\xFF1A%s", frameworkInstallerPath.c_str());
    RunProgram(SW_HIDE, true, temp, frameworkInstallerPath, kFrameworkInstallerArguments);
    if (!IsFrameworkInstalled()) {
      WriteInstallLog(L"Install .net framwork failed");
      FailInstallStage(window);
      return;
    }
    WriteInstallLog(L"Install .net framwork ok");
  }
  ReachMilestone(window, 600, 900);

  if (!usable(query.applicationInfo)) {
    window->ProgressCeiling = 1000;
    CloseWindowAndWait(window);
    return;
  }

  TerminateProcessByName(kApplicationExeName);
  WriteInstallLog(L"TerminateProcess %s", kApplicationExeName);
  query.installPath = window->installFolder;
  RemoveFolder(query.installPath);
  WriteInstallLog(L"RemoveFolder %s", query.installPath.c_str());
  MakePathExist(query.installPath);
  WriteInstallLog(L"MakePathExist  %s", query.installPath.c_str());

  if (!CopytoInstallPath(packageFolder, query.installPath)) {
    WriteInstallLog(L"CopytoInstallPath failed");
    FailInstallStage(window);
    return;
  }
  WriteInstallLog(L"CopytoInstallPath ok");
  ReachMilestone(window, 900, 1000);

  if (!RegisterToSystem(query.installPath)) {
    WriteInstallLog(L"RegisterToSystem failed");
    FailInstallStage(window);
    return;
  }
  WriteInstallLog(L"RegisterToSystem ok");
  SetProgressPosition(window, 1000);
  window->SetProgressTimer(false);

  const std::wstring mainExe = query.installPath + L"\\" + kApplicationExeName;
  const std::wstring shortcutName = framework::LoadStringText(IDS_PRODUCT_NAME);
  DeleteDesktopShortcut(shortcutName);
  CreateShortcuts(mainExe, shortcutName);
  RegisterAutostart(kAutostartValueName, mainExe);
  window->ShowStage(kStageFinished);
  RemoveTempFolder();

  const std::wstring arguments = WindowPositionText(window) + L" " + window->startTimeText;
  const std::wstring updater = query.installPath + L"\\" + kUpdaterExeName;
  WriteInstallLog(L"Start application: %s %s", updater.c_str(), arguments.c_str());
  RunProgram(SW_SHOW, false, query.installPath, updater, arguments);
  CloseWindowAndWait(window);
}
