#include "framework/dialog.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/control.h"

namespace framework {

namespace {
constexpr UINT_PTR kOwnSubclassId = 0x446C6750;

bool IsCtlColorMessage(UINT message) {
  return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

// Messages whose answer is the dialog procedure's return value itself.
bool AnswersDirectly(UINT message) {
  return IsCtlColorMessage(message) || message == WM_INITDIALOG ||
         message == WM_QUERYDRAGICON || message == WM_COMPAREITEM ||
         message == WM_VKEYTOITEM || message == WM_CHARTOITEM;
}
}  // namespace

Dialog::~Dialog() {
  if (window_ && IsWindow(window_)) ::DestroyWindow(window_);
}

INT_PTR Dialog::DoModal(HWND owner) {
  modal_ = true;
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_),
                                         owner, DialogProc, reinterpret_cast<LPARAM>(this));
  modal_ = false;
  window_ = nullptr;
  return result;
}

bool Dialog::Create(HWND owner) {
  modal_ = false;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                            DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

void Dialog::EndDialog(INT_PTR result) {
  if (window_ == nullptr) return;
  if (modal_) {
    ::EndDialog(window_, result);
  } else {
    Show(false);
  }
}

void Dialog::DestroyWindow() {
  if (window_ && IsWindow(window_)) ::DestroyWindow(window_);
  window_ = nullptr;
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

HBRUSH Dialog::OnCtlColor(HDC, HWND, HBRUSH reflected) { return reflected; }

LRESULT Dialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultWindowProc(message, wParam, lParam);
}

LRESULT Dialog::DefaultWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK Dialog::OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR, DWORD_PTR self) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, OwnProc, kOwnSubclassId);
    return DefSubclassProc(window, message, wParam, lParam);
  }
  try {
    return reinterpret_cast<Dialog*>(self)->WindowProc(message, wParam, lParam);
  } catch (...) {
    return DefSubclassProc(window, message, wParam, lParam);
  }
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    self->window_ = window;
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG
  INT_PTR answer = FALSE;
  try {
    answer = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    answer = FALSE;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (self->window_ == window) self->window_ = nullptr;
  }
  return answer;
}

INT_PTR Dialog::Initialise() {
  SetWindowSubclass(window_, OwnProc, kOwnSubclassId, reinterpret_cast<DWORD_PTR>(this));
  OnCreate();
  const RECT createdAt = WindowRect();
  const BOOL focusDefault = OnInitDialog();
  CentreOverDisabledOwner(createdAt);
  return focusDefault;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return Initialise();

  if (IsCtlColorMessage(message)) {
    HWND child = reinterpret_cast<HWND>(lParam);
    Control* control = Control::FromHandle(child);
    HBRUSH reflected = control ? control->OnCtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
    return reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), child, reflected));
  }

  LRESULT result = 0;
  if (OnMessage(message, wParam, lParam, result)) {
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
    return TRUE;
  }

  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Control* control = Control::FromHandle(item->hwndItem);
      if (control && control->OnDrawItem(*item)) {
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
          OnOK();
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          OnCancel();
          return TRUE;
        }
      }
      return FALSE;
    default:
      return FALSE;
  }
}

bool Dialog::TemplateLeavesPlacementToUs() const {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(templateId_), RT_DIALOG);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
  if (words == nullptr) return false;
  DWORD style = 0;
  short x = 0, y = 0;
  if (words[0] == 1 && words[1] == 0xFFFF) {  // DIALOGEX: version, signature, help id, ex style
    const auto* bytes = reinterpret_cast<const BYTE*>(words);
    style = *reinterpret_cast<const DWORD*>(bytes + 12);
    x = *reinterpret_cast<const short*>(bytes + 18);
    y = *reinterpret_cast<const short*>(bytes + 20);
  } else {
    const auto* bytes = reinterpret_cast<const BYTE*>(words);
    style = *reinterpret_cast<const DWORD*>(bytes);
    x = *reinterpret_cast<const short*>(bytes + 10);
    y = *reinterpret_cast<const short*>(bytes + 12);
  }
  return x == 0 && y == 0 && (style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0;
}

void Dialog::CentreOverDisabledOwner(const RECT& createdAt) {
  if (IsWindowVisible(window_) || (Style() & WS_CHILD)) return;
  const RECT now = WindowRect();
  if (!EqualRect(&now, &createdAt)) return;
  HWND owner = GetWindow(window_, GW_OWNER);
  if (owner == nullptr || IsWindowEnabled(owner) || !TemplateLeavesPlacementToUs()) return;

  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = now.right - now.left;
  const int height = now.bottom - now.top;
  int left = (ownerRect.left + ownerRect.right) / 2 - width / 2;
  int top = (ownerRect.top + ownerRect.bottom) / 2 - height / 2;
  // Shifted back into the work area, the top-left corner winning.
  if (left + width > work.right) left = work.right - width;
  if (left < work.left) left = work.left;
  if (top + height > work.bottom) top = work.bottom - height;
  if (top < work.top) top = work.top;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace framework
