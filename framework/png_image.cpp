#include "framework/png_image.h"

// gdiplus.h wants min and max, which NOMINMAX takes away.
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <mutex>

#include "framework/gdi.h"

namespace framework {

namespace {
std::mutex gdiplusLock;
int gdiplusUsers = 0;
ULONG_PTR gdiplusToken = 0;
}  // namespace

GdiplusUser::GdiplusUser() {
  std::lock_guard<std::mutex> hold(gdiplusLock);
  if (gdiplusUsers++ == 0) {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) gdiplusToken = 0;
  }
}

GdiplusUser::~GdiplusUser() {
  std::lock_guard<std::mutex> hold(gdiplusLock);
  if (--gdiplusUsers == 0 && gdiplusToken != 0) {
    Gdiplus::GdiplusShutdown(gdiplusToken);
    gdiplusToken = 0;
  }
}

bool GdiplusUser::started() const {
  std::lock_guard<std::mutex> hold(gdiplusLock);
  return gdiplusToken != 0;
}

bool PngImage::LoadFromResource(UINT id) {
  bitmap_.reset();
  hasAlpha_ = false;
  width_ = height_ = 0;

  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = SizeofResource(module, found);
  if (bytes == nullptr || size == 0) return false;

  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  void* target = block ? GlobalLock(block.get()) : nullptr;
  if (target == nullptr) return false;
  std::memcpy(target, bytes, size);
  GlobalUnlock(block.get());

  ComPtr<IStream> stream;
  if (SUCCEEDED(CreateStreamOnHGlobal(block.get(), FALSE,
                                      reinterpret_cast<IStream**>(stream.receive())))) {
    Decode(stream.get());
  }
  return true;
}

void PngImage::Decode(IStream* stream) {
  if (!gdiplus_.started()) return;
  Gdiplus::Bitmap picture(stream);
  if (picture.GetLastStatus() != Gdiplus::Ok) return;
  const int width = static_cast<int>(picture.GetWidth());
  const int height = static_cast<int>(picture.GetHeight());
  if (width <= 0 || height <= 0) return;
  const bool alpha = Gdiplus::IsAlphaPixelFormat(picture.GetPixelFormat());

  // A top-down 32-bit DIB holds either kind; without alpha its fourth byte is unused.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return;

  Gdiplus::BitmapData data{};
  data.Width = static_cast<UINT>(width);
  data.Height = static_cast<UINT>(height);
  data.Stride = width * 4;
  data.Scan0 = bits;
  Gdiplus::Rect all(0, 0, width, height);
  const Gdiplus::PixelFormat format = alpha ? PixelFormat32bppARGB : PixelFormat32bppRGB;
  if (picture.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                       format, &data) != Gdiplus::Ok) {
    return;
  }
  picture.UnlockBits(&data);
  GdiFlush();

  if (alpha) {
    auto* pixel = static_cast<BYTE*>(bits);
    for (int i = 0; i < width * height; ++i, pixel += 4) {
      const unsigned a = pixel[3];
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<BYTE>(pixel[c] * a / 255);
    }
  }
  bitmap_ = std::move(bitmap);
  hasAlpha_ = alpha;
  width_ = width;
  height_ = height;
}

void PngImage::Draw(HDC dc, const RECT& destination) const {
  if (empty() || dc == nullptr) return;
  MemoryDC source(dc);
  if (source.get() == nullptr) return;
  ScopedSelect picture(source.get(), bitmap_.get());
  const int width = destination.right - destination.left;
  const int height = destination.bottom - destination.top;
  if (hasAlpha_) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, destination.left, destination.top, width, height, source.get(), 0, 0, width_,
               height_, blend);
  } else {
    StretchBlt(dc, destination.left, destination.top, width, height, source.get(), 0, 0, width_,
               height_, SRCCOPY);
  }
}

}  // namespace framework
