#pragma once
// The cancel question: a small borderless box whose two answers are coloured
// labels; a click strictly inside one of them decides.
#include "framework/dialog.h"
#include "framework/unique_handle.h"

class CExitOption : public framework::Dialog {
 public:
  CExitOption();

  framework::BrushHandle whiteBrush;
  framework::FontHandle questionFont;
  framework::FontHandle answerFont;
  RECT resumeRect{};
  RECT cancelRect{};
  int32_t cancelConfirmed = 0;  // 1: cancel the installation; 0: resume

 protected:
  void OnCreate() override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  HBRUSH OnCtlColor(HDC dc, HWND child, HBRUSH reflected) override;

 private:
  void FillRounded(HDC dc) const;
  void EraseBackground(HDC dc);
  void OnLeftButtonDown(LPARAM lParam);
};
