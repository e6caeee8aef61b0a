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

namespace {
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
  window->DoModal(nullptr);
  return false;
}
