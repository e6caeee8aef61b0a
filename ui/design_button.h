#pragma once
// The main window's one push-button class: it paints itself from the PNG
// pictures its id calls for and reports a release of the left mouse button to
// its owner instead of sending a command notification.
#include <windows.h>

#include "framework/control.h"

class CInstallerDlg;

class CDesignButton : public framework::Control {
 public:
  using ClickCallback = int (CInstallerDlg::*)(int x, int y, UINT id, CInstallerDlg* window,
                                               bool checkState);

  CDesignButton(UINT commandId, UINT normalPicture, UINT hoverPicture, UINT pressedPicture,
                CInstallerDlg* owner);

  // Frame of the busy animation, 1..20; advanced by the owner's timer.
  int frame = 1;
  // Clicks reach the owner only while set.
  bool enabled = true;
  UINT currentPicture;
  UINT commandId;
  UINT normalPicture;
  UINT hoverPicture;
  UINT pressedPicture;
  ClickCallback clickCallback;
  CInstallerDlg* owner;

  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  enum class Kind { Picture, Text, Folder, Animation, None };
  Kind DrawingKind() const;
  LRESULT OnLeftButtonUp(WPARAM wParam, LPARAM lParam);
  void DrawText(HDC dc, const RECT& rect) const;
};
