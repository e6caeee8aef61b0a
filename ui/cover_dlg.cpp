#include "ui/cover_dlg.h"

#include "framework/gdi.h"
#include "ui/ui_ids.h"

namespace {
constexpr COLORREF kCoverColour = RGB(105, 120, 128);

// Window size for a client area of width x height with the window's styles.
SIZE WindowSizeFor(HWND window, int width, int height) {
  RECT rect{0, 0, width, height};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}
}  // namespace

CCoverDlg::CCoverDlg() : framework::Dialog(kCoverTemplate) {}

void CCoverDlg::OnCreate() {
  const SIZE size = WindowSizeFor(hwnd(), 390, 180);
  MoveTo(0, 0, size.cx, size.cy);
}

BOOL CCoverDlg::OnInitDialog() {
  coverBrush.reset(CreateSolidBrush(kCoverColour));
  const LONG_PTR extended = GetWindowLongPtrW(hwnd(), GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, extended ^ WS_EX_LAYERED);
  SetLayeredWindowAttributes(hwnd(), kCoverColour, 100, LWA_ALPHA);
  return TRUE;
}

bool CCoverDlg::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != WM_PAINT) return false;
  framework::PaintDC paint(hwnd());
  const RECT client = ClientRect();
  FillRect(paint.get(), &client, coverBrush.get());
  result = 0;
  return true;
}
