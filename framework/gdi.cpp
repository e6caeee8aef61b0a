#include "framework/gdi.h"

namespace framework {

FontHandle CreatePointFontIndirect(LOGFONTW description) {
  WindowDC screen(nullptr);
  POINT height{0, MulDiv(GetDeviceCaps(screen.get(), LOGPIXELSY), description.lfHeight, 720)};
  POINT origin{0, 0};
  DPtoLP(screen.get(), &height, 1);
  DPtoLP(screen.get(), &origin, 1);
  description.lfHeight = -abs(height.y - origin.y);
  return FontHandle(CreateFontIndirectW(&description));
}

FontHandle CreatePointFont(int tenthsOfPoint, const std::wstring& face) {
  LOGFONTW description{};
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfHeight = tenthsOfPoint;
  lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreatePointFontIndirect(description);
}

LOGFONTW FontDescription(HFONT font) {
  LOGFONTW description{};
  if (font == nullptr || GetObjectW(font, sizeof(description), &description) == 0) {
    description = LOGFONTW{};
  }
  return description;
}

}  // namespace framework
