#pragma once
#include <windows.h>

#include <string>

// Appends one time-stamped line to the install log of the process account.
// `format` is printf-style (%s takes a wide string, %d an int); outside text such
// as a path or a command line must always go through "%s", never be the format.
// Never fails visibly: a line that cannot be written is dropped.
void WriteInstallLog(const wchar_t* format, ...);

// The log file of the process account: application data\Velmar\Corvanta\Log\Install.log.
std::wstring InstallLogPath();

// "YYYY-MM-DD, hh:mm:ss", the stamp every line begins with.
std::wstring FormatTimeStamp(const SYSTEMTIME& time);

// The bytes one log line is made of: "<stamp> - <message>" and a CR LF, each
// character up to U+00FF as that byte and anything beyond as "?".
std::string FormatInstallLogLine(const std::wstring& timeStamp, const std::wstring& message);
