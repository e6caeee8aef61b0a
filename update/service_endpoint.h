#pragma once
#include <string>

// The update service this installer was built against: scheme and host, no
// trailing slash (a build option).
inline constexpr wchar_t kBuiltInServiceBaseUrl[] = CORVANTA_SERVICE_BASE_URL;

// The base URL of every request: the built-in one, unless "TestServer.txt" in
// the Downloads folder names another.
std::wstring GetServerBaseUrl();
