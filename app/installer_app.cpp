#include "app/installer_app.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/command_line.h"
#include "app/hand_over.h"
#include "app/install_log.h"
#include "app/module_path.h"
#include "app/product_names.h"
#include "framework/unique_handle.h"
#include "system/font_install.h"
#include "ui/installer_dlg.h"
#include "workflow/finish.h"
#include "workflow/workers.h"

namespace {
// How long a worker still running at the end of the window's run gets to end.
constexpr unsigned long kWorkerEndWait = 5000;
// Held until the process ends: its existence is what keeps a second installer out.
framework::KernelHandle singleInstanceMutex;
}  // namespace

CInstallerApp::CInstallerApp() { restartManagerSupportFlags = 1; }

bool CInstallerApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  framework::Application::InitInstance();

  InstallFont();

  const ModulePathParts self = GetModulePathParts();
  const std::wstring& arguments = ArgumentText();
  WriteInstallLog(L"%s", self.fullPath.c_str());
  WriteInstallLog(L"cmdline: %s", arguments.c_str());

  const StartCommand command = ParseStartArguments(arguments);
  if (command.course == StartCourse::HandOver) {
    RunHandOver(self, command.handOverArguments);
    return false;
  }
  if (command.course == StartCourse::NormalWithCleanup) RemoveLeftOverCopy(self);

  singleInstanceMutex.reset(CreateMutexW(nullptr, FALSE, kSingleInstanceMutexName));
  if (!singleInstanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;

  // The modal run of the main window is the life of the process.
  auto window = std::make_unique<CInstallerDlg>();
  window->startTop = command.top;
  window->startLeft = command.left;
  const INT_PTR result = window->DoModal(nullptr);
  if (AnyWorkerRunning()) {
    // A download still running stops at its next block; the worker then ends
    // and its file is closed, so a confirmed cancel can still clear the temp
    // folder. A worker that does not end soon (a stalled transfer, the
    // framework installer) is ended with the process, before the window and
    // its engine are destroyed, so that it never touches them.
    window->runEnded = true;
    const bool workersEnded = WaitForWorkers(kWorkerEndWait);
    if (result == IDOK) RemoveTempFolder();
    if (!workersEnded) ExitProcess(0);
  }
  return false;
}
