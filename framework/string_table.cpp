#include "framework/string_table.h"

namespace framework {

std::wstring LoadStringText(UINT id) {
  // With a buffer size of 0 LoadStringW hands out a pointer into the resource
  // itself, so texts of any length come back whole, trailing blanks included.
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return std::wstring();
  return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace framework
