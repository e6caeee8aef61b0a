#pragma once
// A bare stand-in for the installer's main window: it only shows that start-up
// placed it, and it closes on WM_CLOSE.
class PlaceholderWindow {
 public:
  int startTop = 0;
  int startLeft = 0;

  // Shows the window and returns when it has been closed.
  int RunModal();
};
