#include "update/version_compare.h"

#include <vector>

namespace {

bool IsDottedNumber(const std::wstring& text) {
  if (text.empty()) return false;
  bool digitSeen = false;
  for (wchar_t c : text) {
    if (c >= L'0' && c <= L'9') {
      digitSeen = true;
    } else if (c == L'.' && digitSeen) {
      digitSeen = false;
    } else {
      return false;
    }
  }
  return digitSeen;
}

std::vector<std::wstring> Numbers(const std::wstring& text) {
  std::vector<std::wstring> numbers;
  size_t start = 0;
  for (size_t dot; (dot = text.find(L'.', start)) != std::wstring::npos; start = dot + 1) {
    numbers.push_back(text.substr(start, dot - start));
  }
  numbers.push_back(text.substr(start));
  for (std::wstring& number : numbers) {
    number.erase(0, number.find_first_not_of(L'0'));  // "007" is 7, "0" is ""
  }
  return numbers;
}

// Compares two numbers of any length without leading zeros.
int CompareNumbers(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int CompareText(const std::wstring& a, const std::wstring& b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned short>(a[i]);
    const auto y = static_cast<unsigned short>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareVersions(const std::wstring& a, const std::wstring& b) {
  if (!IsDottedNumber(a) || !IsDottedNumber(b)) return CompareText(a, b);
  const std::vector<std::wstring> x = Numbers(a);
  const std::vector<std::wstring> y = Numbers(b);
  for (size_t i = 0; i < x.size() || i < y.size(); ++i) {
    const std::wstring none;
    const int order = CompareNumbers(i < x.size() ? x[i] : none, i < y.size() ? y[i] : none);
    if (order != 0) return order;
  }
  return 0;
}
