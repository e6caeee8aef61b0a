#include "ui/exit_option.h"

#include <windowsx.h>

#include <cstdint>

#include "framework/gdi.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "ui/ui_fonts.h"
#include "ui/ui_ids.h"
#include "ui/window_painting.h"

namespace {
constexpr int kCornerEllipse = 13;

bool StrictlyInside(const RECT& rect, int x, int y) {
  return rect.left < x && x < rect.right && rect.top < y && y < rect.bottom;
}

// The size of `text` in `font` on the screen, where the main window measures
// for a control that is not its own.
SIZE MeasureOnScreen(HFONT font, const std::wstring& text) {
  framework::WindowDC dc(nullptr);
  framework::ScopedSelect selected(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}
}  // namespace

CExitOption::CExitOption() : framework::Dialog(kExitOptionTemplate) {}

void CExitOption::OnCreate() {
  RECT rect{0, 0, 330, 143};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(Style()), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
  MoveTo(0, 0, rect.right - rect.left, rect.bottom - rect.top);
}

BOOL CExitOption::OnInitDialog() {
  const RECT window = WindowRect();
  SetWindowRgn(hwnd(),
               CreateRoundRectRgn(0, 0, window.right - window.left, window.bottom - window.top,
                                  kCornerEllipse, kCornerEllipse),
               TRUE);  // the window owns the region from here on
  whiteBrush.reset(CreateSolidBrush(RGB(255, 255, 255)));
  questionFont = framework::CreatePointFont(105, kUiFontFace);

  framework::Window question(Item(kQuestionTextId));
  question.MoveTo(30, 30, 266, 42);
  question.SetFont(questionFont.get());
  question.SetText(framework::LoadStringText(IDS_CANCEL_QUESTION));

  answerFont = framework::CreatePointFont(90, kUiFontFace);
  framework::Window resume(Item(kResumeLabelId));
  framework::Window cancel(Item(kCancelLabelId));
  resume.SetFont(answerFont.get());
  cancel.SetFont(answerFont.get());
  const std::wstring resumeText = framework::LoadStringText(IDS_RESUME);
  const std::wstring cancelText = framework::LoadStringText(IDS_CANCEL);
  resume.SetText(resumeText);
  cancel.SetText(cancelText);

  const SIZE resumeSize = MeasureOnScreen(answerFont.get(), resumeText);
  const SIZE cancelSize = MeasureOnScreen(answerFont.get(), cancelText);
  const int x1 = 276 - cancelSize.cx - resumeSize.cx;
  const int x2 = x1 + resumeSize.cx + 24;
  resume.MoveTo(x1, 99, resumeSize.cx, resumeSize.cy);
  cancel.MoveTo(x2, 99, cancelSize.cx, cancelSize.cy);
  resumeRect = RECT{x1, 99, x1 + resumeSize.cx, 99 + resumeSize.cy};
  cancelRect = RECT{x2, 99, x2 + cancelSize.cx, 99 + cancelSize.cy};
  return TRUE;
}

void CExitOption::FillRounded(HDC dc) const {
  const RECT client = ClientRect();
  framework::RegionHandle rounded(CreateRoundRectRgn(client.left, client.top, client.right,
                                                     client.bottom, kCornerEllipse,
                                                     kCornerEllipse));
  FillRgn(dc, rounded.get(), whiteBrush.get());
}

void CExitOption::EraseBackground(HDC dc) {
  FillRounded(dc);
  PaintWindowBorder(hwnd());
}

void CExitOption::OnLeftButtonDown(LPARAM lParam) {
  const int x = GET_X_LPARAM(lParam);
  const int y = GET_Y_LPARAM(lParam);
  if (StrictlyInside(resumeRect, x, y)) {
    cancelConfirmed = 0;
    OnOK();
  } else if (StrictlyInside(cancelRect, x, y)) {
    cancelConfirmed = 1;
    OnOK();
  }
}

bool CExitOption::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      result = TRUE;
      return true;
    case WM_PAINT: {
      framework::PaintDC paint(hwnd());
      FillRounded(paint.get());
      result = 0;
      return true;
    }
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(lParam);
      return false;
    default:
      return false;
  }
}

HBRUSH CExitOption::OnCtlColor(HDC dc, HWND child, HBRUSH reflected) {
  COLORREF colour = 0;
  switch (GetDlgCtrlID(child)) {
    case kResumeLabelId:
      colour = RGB(9, 166, 81);
      break;
    case kCancelLabelId:
      colour = RGB(155, 155, 155);
      break;
    case kQuestionTextId:
      colour = RGB(74, 74, 74);
      break;
    default:
      return reflected;
  }
  return TransparentText(dc, colour);
}
