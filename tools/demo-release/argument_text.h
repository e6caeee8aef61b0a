#pragma once
#include <string>
#include <vector>

// What follows the program name in `commandLine`, leading blanks removed: the
// text the C runtime hands to WinMain.
std::wstring ArgumentTextOf(const std::wstring& commandLine);

// The argument text of this process.
std::wstring OwnArgumentText();

// This process's command line split the way the shell splits it, program name first.
std::vector<std::wstring> OwnArguments();

// `text` without blanks and tabs at either end.
std::wstring TrimBlanks(const std::wstring& text);

// True when `a` and `b` are the same text but for letter case.
bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b);
