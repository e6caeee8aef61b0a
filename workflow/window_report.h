#pragma once
// What the stages ask of the main window beyond ShowStage, from a worker thread.
#include <string>

class CInstallerDlg;

// "%d %d" with the window's top and left edge on the screen.
std::wstring WindowPositionText(CInstallerDlg* window);

// Writes `textId` for the error stage and shows it.
void ShowError(CInstallerDlg* window, int textId);

// Sends the window its close message and returns once it has been handled.
void CloseWindowAndWait(CInstallerDlg* window);

// Moves the progress bar; the call returns when the bar has moved.
void SetProgressPosition(CInstallerDlg* window, int position);
