// What the main window's buttons do.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include "app/user_folders.h"
#include "resources/resource_ids.h"
#include "ui/cover_dlg.h"
#include "ui/exit_option.h"
#include "ui/installer_dlg.h"
#include "ui/ui_ids.h"
#include "workflow/finish.h"

namespace {

// COM for the folder dialog's new style, balanced on the way out.
class ScopedComApartment {
 public:
  ScopedComApartment()
      : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ScopedComApartment() {
    if (initialised_) CoUninitialize();
  }
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;

 private:
  bool initialised_;
};
}  // namespace

int CInstallerDlg::OnButtonCommand(int, int, UINT id, CInstallerDlg*, bool checkState) {
  switch (id) {
    case kCloseCommand:
    case kCancelCommand:
      ConfirmCancel();
      break;
    case kMinimizeCommand:
      Show(SW_SHOWMINIMIZED);
      break;
    case kContinueCommand:
      errorShown = 0;
      KillTimer(hwnd(), kBusyTimer);
      ShowStatusText(true, IDS_DOWNLOADING, false, true);
      ShowInstallOptions(false);
      Invalidate(true);
      SendMessageW(progressBar.hwnd(), PBM_SETPOS, 0, 0);
      StartDownloadWorker();
      break;
    case kBrowseCommand:
      BrowseInstallFolder();
      break;
    case kLicenseCheckCommand:
      continueButton->enabled = checkState;
      continueButton->RedrawNow();
      break;
    case kOkCommand:
      RemoveTempFolder();
      OnOK();
      break;
    default:
      break;
  }
  return 1;
}

void CInstallerDlg::BrowseInstallFolder() {
  ClaimInstallStage([this] {
    browsing = 1;
    return false;
  });
  {
    ScopedComApartment com;
    wchar_t path[MAX_PATH] = L"";
    BROWSEINFOW request{};
    request.hwndOwner = hwnd();
    request.pszDisplayName = path;
    request.lpszTitle = L"";
    request.ulFlags = BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&request);
    if (chosen != nullptr) {
      if (SHGetPathFromIDListW(chosen, path)) {
        const std::wstring folder = ProductFolderUnder(path);
        MakePathExist(folder);
        installFolder = folder;
        pathField->SetText(installFolder);
      }
      CoTaskMemFree(chosen);
    }
  }
  const bool start = ClaimInstallStage([this] {
    browsing = 0;
    return downloadSucceeded != 0 && !installFolder.empty();
  });
  if (start) StartInstallStage();
}

void CInstallerDlg::ConfirmCancel() {
  CCoverDlg cover;
  if (cover.Create(hwnd())) {
    cover.Show(true);
    const RECT main = WindowRect();
    SetWindowPos(cover.hwnd(), nullptr, main.left, main.top, 580, 300,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  CExitOption question;
  question.DoModal(hwnd());
  if (question.cancelConfirmed != 0) {
    RemoveTempFolder();
    OnOK();
  } else {
    cover.Show(false);
  }
  cover.DestroyWindow();
}
