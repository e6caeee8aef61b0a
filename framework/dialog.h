#pragma once
// A dialog from a template of the program's resources, modal or modeless, with
// one virtual message handler and the defaults the windows rely on: IDOK and
// IDCANCEL (Enter, Escape, WM_CLOSE, the system close) end a modal run with
// that result, WM_DRAWITEM and WM_CTLCOLOR* are reflected to the child's
// Control object, and a dialog left where its creation put it is centred over
// a disabled owner, as dialog frameworks do.
#include <windows.h>

#include "framework/window.h"

namespace framework {

class Dialog : public Window {
 public:
  explicit Dialog(UINT templateId) : templateId_(templateId) {}
  virtual ~Dialog();
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog modally; the EndDialog result, or -1 when it could not be made.
  INT_PTR DoModal(HWND owner);
  // Makes the dialog as a modeless window; false when it could not be made.
  bool Create(HWND owner);
  void EndDialog(INT_PTR result);
  void DestroyWindow();

 protected:
  // The window exists and its template's controls too; before OnInitDialog.
  virtual void OnCreate() {}
  virtual BOOL OnInitDialog() { return TRUE; }
  // One dialog message; true when handled, with `result` as its answer.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The brush for a child's colours; `reflected` is what the child itself gave
  // (null: the system's default). Returned as the message's answer.
  virtual HBRUSH OnCtlColor(HDC dc, HWND child, HBRUSH reflected);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // The window procedure over the dialog manager's, for work that has to come
  // after the default processing of a message.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  bool IsModal() const { return modal_; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR self);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Initialise();
  void CentreOverDisabledOwner(const RECT& createdAt);
  bool TemplateLeavesPlacementToUs() const;

  UINT templateId_;
  bool modal_ = false;
};

}  // namespace framework
