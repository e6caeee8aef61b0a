#pragma once
#include <windows.h>

#include <string>

namespace framework {

// A REG_SZ value stored with its terminating null, as readers expect it.
bool SetStringValue(HKEY key, const wchar_t* name, const std::wstring& text);
bool SetDwordValue(HKEY key, const wchar_t* name, DWORD value);

}  // namespace framework
