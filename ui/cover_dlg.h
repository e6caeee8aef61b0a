#pragma once
// The blue-grey veil laid over the main window while the cancel question is open.
#include "framework/dialog.h"
#include "framework/unique_handle.h"

class CCoverDlg : public framework::Dialog {
 public:
  CCoverDlg();
  framework::BrushHandle coverBrush;

 protected:
  void OnCreate() override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
