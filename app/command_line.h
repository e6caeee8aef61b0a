#pragma once
#include <string>

// What start-up does with the argument text.
enum class StartCourse {
  Normal,             // empty or one character: nothing to clean up, no position
  NormalWithCleanup,  // two or more characters: remove a left-over copy, read the position
  HandOver,           // "u" and more: this is a self-update copy taking over
};

struct StartCommand {
  StartCourse course = StartCourse::Normal;
  int top = 0;
  int left = 0;
  std::wstring handOverArguments;  // for HandOver: the text from its third character on
};

StartCommand ParseStartArguments(const std::wstring& argumentText);

// A decimal integer as the C runtime reads one: leading white space, an optional
// sign, digits up to the first other character; no digits give 0. Values beyond
// the 32-bit range are clamped.
int ReadDecimal(const std::wstring& text);
