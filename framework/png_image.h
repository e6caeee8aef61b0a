#pragma once
// A PNG picture of the program's resources, decoded by GDI+ into a DIB and
// drawn with its alpha: 32-bit pictures are premultiplied once when loaded and
// blended with AlphaBlend, others are copied with StretchBlt.
#include <windows.h>

#include "framework/unique_handle.h"

namespace framework {

// Keeps GDI+ started while any user holds one; the last one shuts it down.
class GdiplusUser {
 public:
  GdiplusUser();
  ~GdiplusUser();
  GdiplusUser(const GdiplusUser&) = delete;
  GdiplusUser& operator=(const GdiplusUser&) = delete;
  bool started() const;
};

class PngImage {
 public:
  PngImage() = default;
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;

  // Loads picture `id` of resource type "PNG" from the program. False, with the
  // picture empty, when it is not there or cannot be read into memory.
  bool LoadFromResource(UINT id);
  bool empty() const { return !bitmap_.valid(); }
  bool hasAlpha() const { return hasAlpha_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Scales the whole picture into `destination`; an empty picture draws nothing.
  void Draw(HDC dc, const RECT& destination) const;

 private:
  void Decode(IStream* stream);
  GdiplusUser gdiplus_;
  BitmapHandle bitmap_;
  bool hasAlpha_ = false;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace framework
