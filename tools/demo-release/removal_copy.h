#pragma once
#include <windows.h>

#include <string>

// A running program cannot delete its own folder, so the uninstaller hands the
// folder over to a copy of itself in the temp folder.

// Copies this program into the temp folder under a name no other file has and
// starts the copy, in the temp folder, with
//   /remove "<installFolder>" <this process id>
// True when the copy runs; a copy that could not be started is deleted again.
bool StartRemovalCopy(const std::wstring& installFolder);

// Waits until process `processId` has ended, or for 30 seconds at the most.
void WaitForProcessEnd(DWORD processId);

// Asks Windows to delete this program's file at the next restart. Without
// administrator rights that fails, which is only logged.
void ScheduleOwnDeletion();
