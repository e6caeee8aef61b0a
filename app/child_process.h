#pragma once
#include <string>

// Starts `file` through the shell with verb "open". With `wait`, blocks until the
// started process has ended (whatever its exit code) and returns true; otherwise
// returns whether the shell reported success.
bool RunProgram(int show, bool wait, const std::wstring& folder, const std::wstring& file,
                const std::wstring& arguments);

// Starts `file` as RunProgram does and waits for its end. True, with the
// process's exit code, only when a process was started and its code was read.
bool RunProgramForExitCode(int show, const std::wstring& folder, const std::wstring& file,
                           const std::wstring& arguments, unsigned long& exitCode);

// True when a running process has the executable file name `fileName`
// (no folder), the letters A to Z compared without regard to case.
bool IsProcessRunning(const std::wstring& fileName);

// Compares two executable names the way IsProcessRunning does: only A to Z fold.
bool SameExecutableName(const std::wstring& a, const std::wstring& b);
