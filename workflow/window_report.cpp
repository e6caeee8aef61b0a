#include "workflow/window_report.h"

#include <windows.h>
#include <commctrl.h>

#include "ui/installer_dlg.h"

std::wstring WindowPositionText(CInstallerDlg* window) {
  RECT rect{};
  GetWindowRect(window->hwnd(), &rect);
  return std::to_wstring(rect.top) + L" " + std::to_wstring(rect.left);
}

void ShowError(CInstallerDlg* window, int textId) {
  window->errorTextId = textId;
  window->ShowStage(kStageError);
}

void CloseWindowAndWait(CInstallerDlg* window) { SendMessageW(window->hwnd(), WM_CLOSE, 0, 0); }

void SetProgressPosition(CInstallerDlg* window, int position) {
  SendMessageW(window->ProgressBarWindow(), PBM_SETPOS, position, 0);
}
