#include "ui/design_progress.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/gdi.h"

int CDesignProgress::FilledEnd(int position, int low, int high, int left, int right) {
  if (high == low) return left;
  // The position is not reduced by low: the bar's range is always 0..1000.
  const double end = position * (static_cast<double>(right - left) / (high - low));
  return std::clamp(static_cast<int>(end), left, right);
}

LRESULT CDesignProgress::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND: {
      framework::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
      const RECT client = ClientRect();
      FillRect(reinterpret_cast<HDC>(wParam), &client, white.get());
      return TRUE;
    }
    default:
      return Default(message, wParam, lParam);
  }
}

void CDesignProgress::Paint() {
  framework::PaintDC paint(hwnd());
  HDC dc = paint.get();
  const int position = static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0));
  PBRANGE range{};
  SendMessageW(hwnd(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const RECT client = ClientRect();
  SetBkMode(dc, TRANSPARENT);
  framework::BrushHandle background(CreateSolidBrush(backgroundColor));
  framework::BrushHandle bar(CreateSolidBrush(barColor));
  const int x = FilledEnd(position, range.iLow, range.iHigh, client.left, client.right);

  // A part without width is left out: the system would still give its
  // rounded region a column of pixels, so a full bar would end in grey.
  if (x < client.right) {
    framework::RegionHandle rest(
        CreateRoundRectRgn(x, client.top, client.right, client.bottom, 3, 3));
    FillRgn(dc, rest.get(), background.get());
  }
  if (x > client.left) {
    framework::RegionHandle filled(
        CreateRoundRectRgn(client.left, client.top, x, client.bottom, 3, 3));
    FillRgn(dc, filled.get(), bar.get());
  }
}
