#pragma once
#include <windows.h>

#include <string>

// Shows the application's window, titled "Corvanta", with `text` in it, and runs
// its message loop until the window is closed. The result is the exit code.
int RunApplicationWindow(HINSTANCE instance, int show, const std::wstring& text);
