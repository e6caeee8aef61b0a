#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <functional>

// Walks the running processes in the system's order until `visit` returns true.
// True when `visit` stopped the walk; false at the end of the list or when the
// list cannot be taken.
bool FindProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit);
