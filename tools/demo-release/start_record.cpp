#include "tools/demo-release/start_record.h"

#include <windows.h>

#include <cwchar>

#include "app/module_path.h"
#include "tools/demo-release/argument_text.h"
#include "tools/demo-release/shell_folders.h"
#include "tools/demo-release/text_file.h"

namespace {

std::wstring LocalTimeText() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[32] = {};
  swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", unsigned{now.wYear},
           unsigned{now.wMonth}, unsigned{now.wDay}, unsigned{now.wHour}, unsigned{now.wMinute},
           unsigned{now.wSecond}, unsigned{now.wMilliseconds});
  return text;
}

// The show command the starter asked for (0 hidden, 5 shown), or -1 for none.
int StartShowCommand() {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? int{startup.wShowWindow} : -1;
}

}  // namespace

std::wstring StartRecord(bool withTime) {
  std::wstring line = GetModulePathParts().fileName + L" args=" + OwnArgumentText() + L" pid=" +
                      std::to_wstring(GetCurrentProcessId()) + L" show=" +
                      std::to_wstring(StartShowCommand());
  if (withTime) line += L" time=" + LocalTimeText();
  return line;
}

bool RecordStartBesideProgram(bool withTime) {
  return AppendLine(JoinPath(GetModulePathParts().folder, L"started.log"), StartRecord(withTime));
}
