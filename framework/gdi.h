#pragma once
// Owners for device contexts and the selections made into them, and the point
// fonts the windows ask for. Every one gives back what it took when it goes.
#include <windows.h>

#include <string>

#include "framework/unique_handle.h"

namespace framework {

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
  ~PaintDC() { EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint() const { return paint_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_ = nullptr;
};

// GetDC (client area) or GetWindowDC (whole window), released with ReleaseDC.
class WindowDC {
 public:
  enum class Area { Client, Whole };
  explicit WindowDC(HWND window, Area area = Area::Client)
      : window_(window), dc_(area == Area::Whole ? GetWindowDC(window) : GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context compatible with another one.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

// Selects an object into a context and selects the previous one back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelect() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A font of `tenthsOfPoint` on the screen (90 = 9 pt), as a LOGFONT whose
// lfHeight holds tenths of a point is turned into a character height.
FontHandle CreatePointFontIndirect(LOGFONTW description);
FontHandle CreatePointFont(int tenthsOfPoint, const std::wstring& face);

// The description a font was made from; zeroed when the handle is no font.
LOGFONTW FontDescription(HFONT font);

}  // namespace framework
