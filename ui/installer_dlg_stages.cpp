// What the main window shows: the stages, the status line and the options page.
#include <windows.h>
#include <shlobj.h>

#include "app/product_names.h"
#include "app/user_folders.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "ui/installer_dlg.h"
#include "ui/ui_ids.h"

namespace {
constexpr int kStatusTop = 154;

std::wstring WithProductName(std::wstring text) {
  static const std::wstring placeholder = L"[ProductName]";
  for (size_t at = text.find(placeholder); at != std::wstring::npos;
       at = text.find(placeholder, at + wcslen(kProductName))) {
    text.replace(at, placeholder.size(), kProductName);
  }
  return text;
}

}  // namespace

void CInstallerDlg::ShowStageHere(unsigned stage) {
  errorShown = 0;
  auto status = [this](UINT textId, bool busy, bool withProgress) {
    ShowStatusTextHere(true, textId, busy, withProgress);
  };
  switch (stage) {
    case kStageChecking:
      status(IDS_CHECKING_INTERNET, true, false);
      ShowInstallOptionsHere(false);
      okButton->Show(false);
      break;
    case kStageNoConnection:
      errorShown = 1;
      status(IDS_NO_CONNECTION, false, false);
      ShowInstallOptionsHere(false);
      okButton->Show(true);
      break;
    case kStageUpdatingInstaller:
      KillTimer(hwnd(), kBusyTimer);
      status(IDS_UPDATING_INSTALLER, false, true);
      ShowInstallOptionsHere(false);
      break;
    case kStagePreparing:
      status(IDS_PREPARE_TO_INSTALL, true, false);
      ShowInstallOptionsHere(false);
      break;
    case kStageOptions:
      KillTimer(hwnd(), kBusyTimer);
      ShowStatusTextHere(false, 0, false, false);
      ShowInstallOptionsHere(true);
      break;
    case kStageDownloading:
      KillTimer(hwnd(), kBusyTimer);
      status(IDS_DOWNLOADING, false, true);
      ShowInstallOptionsHere(false);
      break;
    case kStageInstalling:
      KillTimer(hwnd(), kBusyTimer);
      status(IDS_INSTALLING, false, true);
      ShowInstallOptionsHere(false);
      break;
    case kStageFinished:
      KillTimer(hwnd(), kBusyTimer);
      status(IDS_COMPLETE_STARTING, false, false);
      ShowInstallOptionsHere(false);
      break;
    case kStageError:
      KillTimer(hwnd(), kBusyTimer);
      errorShown = 1;
      status(static_cast<UINT>(errorTextId), false, false);
      ShowInstallOptionsHere(false);
      okButton->Show(true);
      break;
    default:  // 6 and anything unknown only repaint
      break;
  }
  Invalidate(true);
}

void CInstallerDlg::ShowStatusTextHere(bool visible, UINT textId, bool busy, bool withProgress) {
  framework::Window status(Item(kStatusTextId));
  if (!visible) {
    status.Show(false);
    progressBar.Show(false);
    busyAnimation->Show(false);
    return;
  }
  const std::wstring text = WithProductName(framework::LoadStringText(textId));
  status.Show(false);
  status.SetText(text);
  status.Show(true);

  SIZE size{};
  MeasureText(statusFont.get(), kStatusTextId, text, size);
  const size_t lineBreak = text.find(L"\r\n");
  if (lineBreak != std::wstring::npos && lineBreak > 0) size.cy = size.cy * 2 + 2;

  if (busy) {
    SetTimer(hwnd(), kBusyTimer, 40, nullptr);
    busyAnimation->Show(true);
    status.MoveTo(265, kStatusTop, size.cx, size.cy);
    status.ModifyStyle(SS_CENTER, 0);
  } else {
    busyAnimation->Show(false);
    const RECT client = ClientRect();
    status.MoveTo((client.right - client.left - size.cx) / 2, kStatusTop, size.cx, size.cy);
    status.ModifyStyle(0, SS_CENTER);
  }
  status.Invalidate(true);
  status.Show(true);
  progressBar.Show(withProgress);
}

void CInstallerDlg::ShowInstallOptionsHere(bool visible) {
  framework::Window(Item(kLicenseLinkId)).Show(visible);
  framework::Window(Item(kAcceptTextId)).Show(visible);
  licenseCheck->Show(visible);
  continueButton->Show(visible);
  cancelButton->Show(visible);
  if (!visible) {
    framework::Window(Item(kInstallToLabelId)).Show(false);
    browseButton->Show(false);
    pathField->Show(false);
    return;
  }
  framework::Window(Item(kInstallToLabelId)).Show(true);
  pathField->Show(true);

  std::wstring defaultFolder = CurrentUserFolders().defaultInstallFolder;
  if (defaultFolder.empty()) {
    wchar_t programFiles[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE);
    defaultFolder = ProductFolderUnder(programFiles);
    SetDefaultInstallFolder(defaultFolder);
    MakePathExist(defaultFolder);
  }
  installFolder = defaultFolder;
  pathField->SetText(installFolder);
  browseButton->Show(true);
}
