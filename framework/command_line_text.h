#pragma once
#include <string>

namespace framework {

// The argument text of a full command line: the program path (quoted or not)
// and the blanks after it removed, as a WinMain receives it.
std::wstring ArgumentTextOf(const std::wstring& commandLine);

}  // namespace framework
