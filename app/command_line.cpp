#include "app/command_line.h"

#include <climits>
#include <cstdint>

namespace {
bool IsCrtSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
}  // namespace

int ReadDecimal(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && IsCrtSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    if (value > int64_t(INT_MAX) + 1) value = int64_t(INT_MAX) + 1;  // clamp, keep reading
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

StartCommand ParseStartArguments(const std::wstring& argumentText) {
  StartCommand command;
  if (argumentText.size() < 2) return command;
  if (argumentText[0] == L'u') {
    command.course = StartCourse::HandOver;
    command.handOverArguments = argumentText.substr(2);
    return command;
  }
  command.course = StartCourse::NormalWithCleanup;
  const size_t blank = argumentText.find(L' ');
  if (blank != std::wstring::npos && blank >= 1) {
    command.top = ReadDecimal(argumentText.substr(0, blank));
    command.left = ReadDecimal(argumentText.substr(blank + 1));
  }
  return command;
}
