#pragma once
// A child control attached to its object with SetWindowSubclass. The parent
// dialog reflects WM_DRAWITEM and WM_CTLCOLOR* to the object, so a control
// draws and colours itself; the subclass ends at WM_NCDESTROY.
#include <windows.h>

#include "framework/window.h"

namespace framework {

class Control : public Window {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Makes the window and attaches it; false when it could not be made.
  bool Create(DWORD extendedStyle, const wchar_t* windowClass, const wchar_t* text, DWORD style,
              const RECT& rect, HWND parent, UINT id);
  // Attaches an existing window, such as a control of a dialog template.
  bool Attach(HWND window);

  // The object attached to `window`, or null.
  static Control* FromHandle(HWND window);

  // Reflected from the parent: true when the control drew itself.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& item);
  // Reflected from the parent: the background brush, or null for the parent's.
  virtual HBRUSH OnCtlColor(HDC dc);

 protected:
  // Every message of the window; the default passes it on unchanged.
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  void Detach();
  bool createdHere_ = false;
};

}  // namespace framework
