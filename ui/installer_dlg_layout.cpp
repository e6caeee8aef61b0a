// The main window's controls, painting, border and colours.
#include <windows.h>
#include <commctrl.h>

#include "framework/gdi.h"
#include "framework/png_image.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "ui/installer_dlg.h"
#include "ui/ui_fonts.h"
#include "ui/ui_ids.h"
#include "ui/window_painting.h"

namespace {
const RECT kLogoRect{212, 55, 212 + 38, 55 + 33};
const RECT kProductNameRect{257, 55, 540, 85};

RECT At(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }
}  // namespace

std::unique_ptr<CDesignButton> CInstallerDlg::MakeButton(UINT id, UINT normal, UINT hover,
                                                         UINT pressed, const std::wstring& text,
                                                         const RECT& rect) {
  auto button = std::make_unique<CDesignButton>(id, normal, hover, pressed, this);
  button->Create(0, L"BUTTON", text.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, rect, hwnd(),
                 id);
  return button;
}

void CInstallerDlg::SetUpTitleButtons() {
  minimizeButton = MakeButton(kMinimizeCommand, kBarPicture, kBarHoverPicture, kBarPressedPicture,
                              L"", At(511, 15, 15, 2));
  closeButton = MakeButton(kCloseCommand, kCrossPicture, kCrossHoverPicture, kCrossPressedPicture,
                           L"", At(557, 10, 12, 12));
}

void CInstallerDlg::SetUpControls() {
  whiteBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));
  statusFont = framework::CreatePointFont(105, kUiFontFace);
  LOGFONTW link = framework::FontDescription(statusFont.get());
  link.lfUnderline = TRUE;
  link.lfHeight = 105;
  linkFont = framework::CreatePointFontIndirect(link);

  framework::Window status(Item(kStatusTextId));
  status.MoveTo(0, 0, 400, 48);
  status.SetFont(statusFont.get());

  busyAnimation = MakeButton(kBusyAnimationId, kBusyAnimationId, kBusyAnimationId,
                             kBusyAnimationId, L"", At(230, 149, 24, 24));

  progressBar.Attach(Item(kProgressBarId));
  SendMessageW(progressBar.hwnd(), PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
  SendMessageW(progressBar.hwnd(), PBM_SETSTEP, 1, 0);
  const int width = WindowRect().right - WindowRect().left;
  progressBar.MoveTo((width - 424) / 2, 177, 424, 8);

  SetUpInstallFolderRow();
  SetUpLicenseRow();
  SetUpTextButtons();
}

void CInstallerDlg::SetUpInstallFolderRow() {
  labelFont = framework::CreatePointFont(90, kUiFontFace);
  framework::Window label(Item(kInstallToLabelId));
  const std::wstring installTo = framework::LoadStringText(IDS_INSTALL_TO);
  label.SetFont(labelFont.get());
  label.SetText(installTo);
  SIZE size{};
  MeasureText(labelFont.get(), kInstallToLabelId, installTo, size);
  label.MoveTo(90, 122, size.cx, size.cy);

  pathField = std::make_unique<CDLEdit>(kUiFontFace, 90);
  pathField->Create(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                    At(0, 0, 350, 36), hwnd(), kPathFieldId);
  pathField->MoveTo(90, 142, 350, 36);
  SendMessageW(pathField->hwnd(), EM_LIMITTEXT, 512, 0);
  SendMessageW(pathField->hwnd(), EM_SETREADONLY, TRUE, 0);

  browseButton = MakeButton(kBrowseCommand, kBrowseCommand, kBrowseCommand, kBrowseCommand, L"",
                            At(440, 142, 36, 36));
}

void CInstallerDlg::SetUpLicenseRow() {
  const std::wstring accept = framework::LoadStringText(IDS_I_ACCEPT);
  const std::wstring agreement = framework::LoadStringText(IDS_LICENSE_AGREEMENT);
  licenseCheck = MakeButton(kLicenseCheckCommand, kUncheckedPicture, kUncheckedPicture,
                            kCheckedPicture, L"", At(90, 190, 16, 16));
  framework::Window acceptText(Item(kAcceptTextId));
  acceptText.SetText(accept);
  acceptText.SetFont(statusFont.get());
  framework::Window link(Item(kLicenseLinkId));
  link.SetText(agreement);
  link.SetFont(linkFont.get());

  SIZE acceptSize{}, linkSize{};
  MeasureText(statusFont.get(), kAcceptTextId, accept, acceptSize);
  MeasureText(linkFont.get(), kLicenseLinkId, agreement, linkSize);
  acceptText.MoveTo(117, 190, acceptSize.cx, acceptSize.cy);
  link.MoveTo(117 + acceptSize.cx, 190, linkSize.cx + 5, 48);
}

void CInstallerDlg::SetUpTextButtons() {
  const int width = WindowRect().right - WindowRect().left;
  const std::wstring continueText = framework::LoadStringText(IDS_CONTINUE);
  const std::wstring cancelText = framework::LoadStringText(IDS_CANCEL);
  const std::wstring okText = framework::LoadStringText(IDS_OK);
  continueButton = MakeButton(kContinueCommand, kContinueCommand, kContinueCommand,
                              kContinueCommand, continueText,
                              At((width - 276) / 2 + 146, 252, 130, 38));
  cancelButton = MakeButton(kCancelCommand, kCancelCommand, kCancelCommand, kCancelCommand,
                            cancelText, At((width - 276) / 2, 252, 130, 38));
  okButton = MakeButton(kOkCommand, kOkCommand, kOkCommand, kOkCommand, okText,
                        At((width - 130) / 2, 240, 130, 38));
  continueButton->enabled = false;
}

void CInstallerDlg::OnPaint() {
  if (IsIconic(hwnd())) {
    framework::PaintDC paint(hwnd());
    SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
    const RECT client = ClientRect();
    const int iconWidth = GetSystemMetrics(SM_CXICON);
    const int iconHeight = GetSystemMetrics(SM_CYICON);
    DrawIcon(paint.get(), (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2,
             windowIcon.get());
    return;
  }
  framework::PaintDC paint(hwnd());
  HDC dc = paint.get();
  const RECT client = ClientRect();
  FillRect(dc, &client, whiteBrush.get());

  framework::PngImage logo;
  if (logo.LoadFromResource(kLogoPicture)) logo.Draw(dc, kLogoRect);

  LOGFONTW header{};
  header.lfHeight = 30;
  header.lfWeight = FW_NORMAL;
  header.lfCharSet = ANSI_CHARSET;
  header.lfQuality = PROOF_QUALITY;
  lstrcpynW(header.lfFaceName, kHeaderFontFace, LF_FACESIZE);
  framework::FontHandle headerFont(CreateFontIndirectW(&header));
  framework::ScopedSelect selected(dc, headerFont.get());
  const std::wstring name = framework::LoadStringText(IDS_PRODUCT_NAME);
  RECT nameRect = kProductNameRect;
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 255, 255));
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameRect,
            DT_SINGLELINE | DT_VCENTER | DT_TABSTOP);
}

LRESULT CInstallerDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = framework::Dialog::WindowProc(message, wParam, lParam);
  if (IsWindow(hwnd()) && (message == WM_MOVE || message == WM_PAINT || message == WM_NOTIFY ||
                           message == WM_NCPAINT || message == WM_NCACTIVATE)) {
    DrawBorder();
  }
  return result;
}

void CInstallerDlg::DrawBorder() { PaintWindowBorder(hwnd()); }

HBRUSH CInstallerDlg::OnCtlColor(HDC dc, HWND child, HBRUSH reflected) {
  COLORREF colour = 0;
  switch (GetDlgCtrlID(child)) {
    case kLicenseLinkId:
      colour = RGB(0, 120, 214);
      break;
    case kStatusTextId:
    case kAcceptTextId:
      colour = errorShown == 1 ? RGB(255, 0, 0) : RGB(74, 74, 74);
      break;
    case kInstallToLabelId:
      colour = RGB(155, 155, 155);
      break;
    default:
      return reflected;
  }
  return TransparentText(dc, colour);
}
