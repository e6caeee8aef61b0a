#pragma once
#include <windows.h>

// Where the main window goes: a coordinate of 0 or less is centred on the work
// area of the primary display (its left and top are not added), a positive one
// is used as it is.
POINT MainWindowOrigin(int startLeft, int startTop, const RECT& workArea, int width, int height);
