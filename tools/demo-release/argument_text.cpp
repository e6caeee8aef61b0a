#include "tools/demo-release/argument_text.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

namespace {

struct LocalMemoryFree {
  void operator()(void* memory) const { LocalFree(memory); }
};

}  // namespace

std::wstring ArgumentTextOf(const std::wstring& commandLine) {
  // As the C runtime does it: a quoted program name ends at its closing quote,
  // an unquoted one at the first blank or control character.
  size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    const size_t closing = commandLine.find(L'"', 1);
    at = closing == std::wstring::npos ? commandLine.size() : closing + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] > L' ') ++at;
  }
  while (at < commandLine.size() && commandLine[at] <= L' ') ++at;
  return commandLine.substr(at);
}

std::wstring OwnArgumentText() { return ArgumentTextOf(GetCommandLineW()); }

std::vector<std::wstring> OwnArguments() {
  int count = 0;
  std::unique_ptr<LPWSTR, LocalMemoryFree> list(CommandLineToArgvW(GetCommandLineW(), &count));
  std::vector<std::wstring> arguments;
  if (!list) return arguments;
  for (int i = 0; i < count; ++i) arguments.emplace_back(list.get()[i]);
  return arguments;
}

std::wstring TrimBlanks(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}
