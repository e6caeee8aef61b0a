#pragma once
#include <windows.h>

// The release installer is a 32-bit program and sees the 32-bit registry view of
// 64-bit Windows anyway; asking for that view explicitly makes the 64-bit test
// build read and write the very same keys.
inline constexpr REGSAM kInstallerRegistryView = KEY_WOW64_32KEY;
