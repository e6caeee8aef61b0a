#include <windows.h>

#include "app/install_log.h"
#include "app/installer_app.h"

CInstallerApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR argumentText, int) {
  try {
    return theApp.Run(argumentText);
  } catch (...) {
    WriteInstallLog(L"Start-up ended by an unexpected failure");
    return 1;
  }
}
