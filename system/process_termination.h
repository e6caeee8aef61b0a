#pragma once
#include <string>

// Ends a running program by its executable file name (no folder, any letter
// case) so that its files can be replaced: the first other process of that
// name in the system's process list gets 3 seconds to end by itself, then it is
// ended with exit code 1. The calling process is never chosen. Every step goes
// to the install log. False only when the forced end fails.
bool TerminateProcessByName(std::wstring exeName);
