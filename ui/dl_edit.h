#pragma once
// The read-only install-path field: white, dark grey text in the UI font, its
// one line vertically centred in a field much taller than the text.
#include <windows.h>

#include <string>

#include "framework/control.h"
#include "framework/unique_handle.h"

class CDLEdit : public framework::Control {
 public:
  CDLEdit(std::wstring fontFace, int fontSize);

  RECT windowRect{};
  framework::FontHandle editFont;
  std::wstring fontFace;
  int fontSize;  // tenths of a point

  HBRUSH OnCtlColor(HDC dc) override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
  framework::BrushHandle whiteBrush_;
};
