#include "ui/design_button.h"

#include <windowsx.h>

#include "framework/gdi.h"
#include "framework/png_image.h"
#include "ui/installer_dlg.h"
#include "ui/ui_fonts.h"
#include "ui/ui_ids.h"

namespace {

constexpr UINT kFirstBusyPicture = 222;  // + frame 1..20

void FillWhite(HDC dc, const RECT& rect) {
  framework::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
  FillRect(dc, &rect, white.get());
}

void DrawPicture(HDC dc, UINT id, const RECT& rect) {
  framework::PngImage picture;
  if (picture.LoadFromResource(id)) picture.Draw(dc, rect);
}

}  // namespace

CDesignButton::CDesignButton(UINT commandId, UINT normalPicture, UINT hoverPicture,
                             UINT pressedPicture, CInstallerDlg* owner)
    : currentPicture(normalPicture),
      commandId(commandId),
      normalPicture(normalPicture),
      hoverPicture(hoverPicture),
      pressedPicture(pressedPicture),
      clickCallback(&CInstallerDlg::OnButtonCommand),
      owner(owner) {}

CDesignButton::Kind CDesignButton::DrawingKind() const {
  switch (commandId) {
    case kCloseCommand:
    case kMinimizeCommand:
    case kLicenseCheckCommand:
      return Kind::Picture;
    case kContinueCommand:
    case kCancelCommand:
    case kOkCommand:
      return Kind::Text;
    case kBrowseCommand:
      return Kind::Folder;
    case kBusyAnimationId:
      return Kind::Animation;
    default:
      return Kind::None;
  }
}

LRESULT CDesignButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      // The hover picture stays until the next release on this button.
      if (commandId == kCloseCommand || commandId == kMinimizeCommand || commandId == kOkCommand) {
        currentPicture = hoverPicture;
        RedrawNow();
      }
      break;
    case WM_LBUTTONDOWN:
      if (commandId == kLicenseCheckCommand) {
        currentPicture = currentPicture == pressedPicture ? normalPicture : pressedPicture;
      } else {
        currentPicture = pressedPicture;
      }
      break;
    case WM_LBUTTONUP:
      return OnLeftButtonUp(wParam, lParam);
    case WM_ERASEBKGND:
      if (DrawingKind() == Kind::Animation) {
        const RECT client = ClientRect();
        FillWhite(reinterpret_cast<HDC>(wParam), client);
      }
      return TRUE;
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

LRESULT CDesignButton::OnLeftButtonUp(WPARAM wParam, LPARAM lParam) {
  if (commandId != kLicenseCheckCommand) currentPicture = normalPicture;
  int answer = 1;
  if (clickCallback && owner && enabled) {
    // The callback may end the owner's modal run; the button outlives that call.
    answer = (owner->*clickCallback)(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), commandId, owner,
                                     currentPicture == pressedPicture);
  }
  if (answer == 0 || !IsWindow(hwnd())) return 0;
  return Default(WM_LBUTTONUP, wParam, lParam);
}

bool CDesignButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  const RECT& rect = item.rcItem;
  switch (DrawingKind()) {
    case Kind::Picture:
      FillWhite(dc, rect);
      DrawPicture(dc, currentPicture, rect);
      break;
    case Kind::Animation:
      FillWhite(dc, rect);
      DrawPicture(dc, kFirstBusyPicture + static_cast<UINT>(frame), rect);
      break;
    case Kind::Folder: {
      framework::BrushHandle grey(CreateSolidBrush(RGB(216, 216, 216)));
      FrameRect(dc, &rect, grey.get());
      const RECT inside{5, 7, 31, 30};
      DrawPicture(dc, kFolderPicture, inside);
      break;
    }
    case Kind::Text:
      DrawText(dc, rect);
      break;
    case Kind::None:
      break;
  }
  return true;
}

void CDesignButton::DrawText(HDC dc, const RECT& rect) const {
  std::wstring text = Text();
  SetBkMode(dc, TRANSPARENT);
  UINT face = kWhiteFacePicture;
  COLORREF colour = RGB(9, 166, 81);
  if (commandId == kContinueCommand) {
    face = enabled ? kGreenFacePicture : kGreyFacePicture;
    colour = RGB(255, 255, 255);
  } else if (commandId == kOkCommand) {
    face = kGreenFacePicture;
    colour = RGB(255, 255, 255);
  }
  DrawPicture(dc, face, rect);
  SetTextColor(dc, colour);
  framework::FontHandle font = framework::CreatePointFont(90, kUiFontFace);
  framework::ScopedSelect selected(dc, font.get());
  RECT textRect = rect;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_TABSTOP);
}
