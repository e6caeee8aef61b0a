#include "ui/window_placement.h"

POINT MainWindowOrigin(int startLeft, int startTop, const RECT& workArea, int width, int height) {
  POINT origin{startLeft, startTop};
  if (origin.x <= 0) origin.x = (workArea.right - width) / 2;
  if (origin.y <= 0) origin.y = (workArea.bottom - height) / 2;
  return origin;
}
