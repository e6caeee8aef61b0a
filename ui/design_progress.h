#pragma once
// The flat progress bar under the status text: two rounded rectangles, the
// filled part in barColor and the rest in backgroundColor.
#include <windows.h>

#include "framework/control.h"

class CDesignProgress : public framework::Control {
 public:
  COLORREF backgroundColor = RGB(0, 0, 0);
  COLORREF barColor = RGB(0, 0, 0);

  // Where the filled part ends for position `position` of low..high in a bar
  // from `left` to `right`; an empty range fills nothing.
  static int FilledEnd(int position, int low, int high, int left, int right);

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
};
