#include "framework/control.h"

#include <commctrl.h>

namespace framework {

namespace {
constexpr UINT_PTR kSubclassId = 0x436F6E74;  // one id for every control object
// Where the window keeps its object; GetWindowSubclass would do, but the
// import libraries here lack it.
constexpr wchar_t kObjectProperty[] = L"framework.Control";
}

Control::~Control() {
  HWND window = window_;
  Detach();
  if (createdHere_ && window && IsWindow(window)) DestroyWindow(window);
}

bool Control::Create(DWORD extendedStyle, const wchar_t* windowClass, const wchar_t* text,
                     DWORD style, const RECT& rect, HWND parent, UINT id) {
  HWND window = CreateWindowExW(extendedStyle, windowClass, text, style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return false;
  createdHere_ = true;
  return Attach(window);
}

bool Control::Attach(HWND window) {
  if (window == nullptr || window_ != nullptr) return false;
  if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  SetPropW(window, kObjectProperty, this);
  window_ = window;
  return true;
}

void Control::Detach() {
  if (window_ && IsWindow(window_)) {
    RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
    RemovePropW(window_, kObjectProperty);
  }
  window_ = nullptr;
}

Control* Control::FromHandle(HWND window) {
  return window ? static_cast<Control*>(GetPropW(window, kObjectProperty)) : nullptr;
}

bool Control::OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
HBRUSH Control::OnCtlColor(HDC) { return nullptr; }

LRESULT Control::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR, DWORD_PTR self) {
  auto* control = reinterpret_cast<Control*>(self);
  if (message == WM_NCDESTROY) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    control->Detach();
    return result;
  }
  try {
    return control->OnMessage(message, wParam, lParam);
  } catch (...) {
    // A failure inside one message must not unwind through the system's code.
    return DefSubclassProc(window, message, wParam, lParam);
  }
}

}  // namespace framework
