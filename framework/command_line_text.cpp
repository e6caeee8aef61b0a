#include "framework/command_line_text.h"

namespace framework {

std::wstring ArgumentTextOf(const std::wstring& commandLine) {
  size_t i = 0;
  if (i < commandLine.size() && commandLine[i] == L'"') {
    ++i;
    while (i < commandLine.size() && commandLine[i] != L'"') ++i;
    if (i < commandLine.size()) ++i;
  } else {
    while (i < commandLine.size() && commandLine[i] > L' ') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

}  // namespace framework
