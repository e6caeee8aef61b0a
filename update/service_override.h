#pragma once
#include <string>

// Only the start of "TestServer.txt" is read.
inline constexpr unsigned kServerOverrideMaxBytes = 1024;

// The first kServerOverrideMaxBytes bytes of the file; empty when it cannot be opened.
std::string ReadServerOverrideFile(const std::wstring& path);

// The base URL the override names: the string member "ApplicationUpdate" of a
// strict JSON object, or empty when the text names none.
std::wstring ServerOverrideFrom(const std::string& fileStart);
