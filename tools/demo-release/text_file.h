#pragma once
#include <string>

// The demo programs' log files: UTF-8 without a byte-order mark, one record a
// line, each line ended by a single "\n".

// Appends `line` and a line end to the file at `path`, creating the file when
// it is missing. Appends of other processes at the same time stay whole lines.
bool AppendLine(const std::wstring& path, const std::wstring& line);

// Makes the file at `path` exist and be empty.
bool EmptyFile(const std::wstring& path);

// The text of a small UTF-8 file (a byte-order mark is dropped); empty when the
// file cannot be read.
std::wstring ReadTextFile(const std::wstring& path);
