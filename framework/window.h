#pragma once
// A non-owning view of a window: one-line wrappers over the calls the windows
// of the program make on themselves and on their children.
#include <windows.h>

#include <string>

namespace framework {

class Window {
 public:
  Window() = default;
  explicit Window(HWND window) : window_(window) {}

  HWND hwnd() const { return window_; }
  explicit operator bool() const { return window_ != nullptr; }

  HWND Item(int id) const { return GetDlgItem(window_, id); }
  void Show(int command) const { ShowWindow(window_, command); }
  void Show(bool visible) const { ShowWindow(window_, visible ? SW_SHOW : SW_HIDE); }
  void MoveTo(int x, int y, int width, int height, bool repaint = true) const {
    MoveWindow(window_, x, y, width, height, repaint);
  }
  void Invalidate(bool erase = true) const { InvalidateRect(window_, nullptr, erase); }
  // Invalidate, erase and paint at once, before the call returns.
  void RedrawNow() const {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  void SetText(const std::wstring& text) const { SetWindowTextW(window_, text.c_str()); }
  std::wstring Text() const;
  void SetFont(HFONT font, bool redraw = false) const {
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  RECT ClientRect() const {
    RECT rect{};
    GetClientRect(window_, &rect);
    return rect;
  }
  RECT WindowRect() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect;
  }
  LONG_PTR Style() const { return GetWindowLongPtrW(window_, GWL_STYLE); }
  void ModifyStyle(LONG_PTR remove, LONG_PTR add) const {
    SetWindowLongPtrW(window_, GWL_STYLE, (Style() & ~remove) | add);
  }

 protected:
  HWND window_ = nullptr;
};

inline std::wstring Window::Text() const {
  const int length = GetWindowTextLengthW(window_);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));
  return text;
}

}  // namespace framework
