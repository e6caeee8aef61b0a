#pragma once
// The about box of the system menu: dialog 100 as its template has it.
#include "framework/dialog.h"
#include "ui/ui_ids.h"

class CAboutDlg : public framework::Dialog {
 public:
  CAboutDlg() : framework::Dialog(kAboutTemplate) {}
};
