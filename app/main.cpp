#include <windows.h>

#include "app/install_log.h"
#include "app/installer_app.h"

CInstallerApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return theApp.Run();
  } catch (...) {
    WriteInstallLog(L"Start-up ended by an unexpected failure");
    return 1;
  }
}
