#pragma once
// Drawing that the main window and the cancel question share.
#include <windows.h>

// The thin light grey border: one pixel at the top, left and right, two at
// the bottom, painted on the whole window.
void PaintWindowBorder(HWND window);

// A static text in `colour` over its parent's own background; the answer to
// its WM_CTLCOLOR*.
HBRUSH TransparentText(HDC dc, COLORREF colour);
