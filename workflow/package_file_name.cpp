#include "workflow/package_file_name.h"

#include <cwctype>

namespace {

bool IsDeviceName(std::wstring stem) {
  for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
  while (!stem.empty() && (stem.back() == L' ')) stem.pop_back();
  static const wchar_t* const devices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : devices) {
    if (stem == device) return true;
  }
  return stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
         stem[3] >= L'0' && stem[3] <= L'9';
}

}  // namespace

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name.find(L"..") != std::wstring::npos) return false;
  for (wchar_t c : name) {
    if (c < 0x20 || c == 0x7F) return false;
    if (std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos) return false;
  }
  if (name.back() == L'.' || name.back() == L' ') return false;
  return !IsDeviceName(name.substr(0, name.find(L'.')));
}
