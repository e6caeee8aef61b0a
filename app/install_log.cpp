#include "app/install_log.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "app/product_names.h"
#include "app/user_folders.h"
#include "framework/unique_handle.h"

namespace {

std::wstring FormatMessageText(const wchar_t* format, va_list args) {
  va_list counting;
  va_copy(counting, args);
  // The msvcrt formatters, not the C99 ones: here %s means a wide string.
  const int length = _vscwprintf(format, counting);
  va_end(counting);
  if (length < 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  _vsnwprintf(buffer.data(), buffer.size(), format, args);
  return std::wstring(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

std::wstring FormatTimeStamp(const SYSTEMTIME& time) {
  wchar_t stamp[100] = {};
  swprintf(stamp, 100, L"%04u-%02u-%02u, %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay,
           time.wHour, time.wMinute, time.wSecond);
  return stamp;
}

std::wstring InstallLogPath() {
  wchar_t appData[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE) || appData[0] == 0) {
    return std::wstring();
  }
  return LogFolderUnder(appData) + L"\\Install.log";
}

std::string FormatInstallLogLine(const std::wstring& timeStamp, const std::wstring& message) {
  const std::wstring line = timeStamp + L" - " + message + L"\n";
  std::string bytes;
  bytes.reserve(line.size() + 8);
  for (size_t i = 0; i < line.size(); ++i) {
    const wchar_t c = line[i];
    if (c == L'\n') {
      bytes += "\r\n";  // the log has always been a text-mode file
    } else if (c <= 0xFF) {
      bytes += static_cast<char>(c);
    } else {
      bytes += '?';
      // A character beyond the BMP is one character, so one "?" for the pair.
      if (IS_HIGH_SURROGATE(c) && i + 1 < line.size() && IS_LOW_SURROGATE(line[i + 1])) ++i;
    }
  }
  return bytes;
}

void WriteInstallLog(const wchar_t* format, ...) {
  if (format == nullptr) return;
  va_list args;
  va_start(args, format);
  const std::wstring message = FormatMessageText(format, args);
  va_end(args);

  const std::wstring path = InstallLogPath();
  if (path.empty()) return;  // no profile folder: there is nowhere to keep the line
  MakePathExist(path.substr(0, path.rfind(L'\\')));

  // Exclusive, like every writer of this file: a line that meets another writer is lost.
  framework::KernelHandle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const std::string line = FormatInstallLogLine(FormatTimeStamp(now), message);
  DWORD written = 0;
  WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
