#include "ui/dl_edit.h"

#include "framework/gdi.h"

CDLEdit::CDLEdit(std::wstring fontFace, int fontSize)
    : editFont(framework::CreatePointFont(fontSize, fontFace)),
      fontFace(std::move(fontFace)),
      fontSize(fontSize),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {}

LRESULT CDLEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCALCSIZE:
      return OnNcCalcSize(wParam, lParam);
    case WM_ERASEBKGND:
      return OnEraseBackground(wParam, lParam);
    case WM_PAINT: {
      // The edit control's own painting then begins with the erase above,
      // which puts the font back.
      framework::PaintDC paint(hwnd());
      Invalidate(true);
      return Default(WM_PAINT, 0, 0);
    }
    default:
      return Default(message, wParam, lParam);
  }
}

LRESULT CDLEdit::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = Default(WM_NCCALCSIZE, wParam, lParam);
  RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                          : reinterpret_cast<RECT*>(lParam);
  framework::WindowDC dc(hwnd());
  TEXTMETRICW metrics{};
  if (dc.get() && GetTextMetricsW(dc.get(), &metrics)) {
    const int height = proposed->bottom - proposed->top;
    const int inset = (height - metrics.tmExternalLeading - metrics.tmHeight) / 2;
    proposed->top += inset;
    proposed->bottom -= inset;
  }
  return result;
}

LRESULT CDLEdit::OnEraseBackground(WPARAM wParam, LPARAM lParam) {
  windowRect = WindowRect();
  // The font is made anew and given to the control before the old one goes,
  // so the control never holds a deleted font.
  framework::FontHandle font = framework::CreatePointFont(fontSize, fontFace);
  const LOGFONTW description = framework::FontDescription(font.get());
  if (font && -description.lfHeight < windowRect.bottom - windowRect.top) {
    SetFont(font.get(), false);
    editFont = std::move(font);
  }
  return Default(WM_ERASEBKGND, wParam, lParam);
}

HBRUSH CDLEdit::OnCtlColor(HDC dc) {
  SetBkColor(dc, RGB(255, 255, 255));
  SetTextColor(dc, RGB(74, 74, 74));
  return whiteBrush_.get();
}
