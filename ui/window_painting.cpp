#include "ui/window_painting.h"

#include "framework/gdi.h"

void PaintWindowBorder(HWND window) {
  framework::WindowDC dc(window, framework::WindowDC::Area::Whole);
  if (dc.get() == nullptr) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  framework::BrushHandle brush(CreateSolidBrush(RGB(216, 216, 216)));
  framework::ScopedSelect selected(dc.get(), brush.get());
  PatBlt(dc.get(), 0, 0, w, 1, PATCOPY);
  PatBlt(dc.get(), 0, 0, 1, h, PATCOPY);
  PatBlt(dc.get(), 0, h - 2, w, 2, PATCOPY);
  PatBlt(dc.get(), w - 1, 0, 1, h, PATCOPY);
}

HBRUSH TransparentText(HDC dc, COLORREF colour) {
  SetTextColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}
