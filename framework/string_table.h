#pragma once
#include <windows.h>
#include <string>

namespace framework {

// The text of string `id` from the program's own string table, in the language
// the resource lookup picks for the user; empty when there is no such string.
std::wstring LoadStringText(UINT id);

}  // namespace framework
