#pragma once
#include <string>

// The running program's path, its folder (up to the last backslash) and file name.
struct ModulePathParts {
  std::wstring fullPath;
  std::wstring folder;
  std::wstring fileName;
};

ModulePathParts GetModulePathParts();

// The split itself: folder and file name stay empty when no backslash follows
// the first character.
ModulePathParts SplitModulePath(const std::wstring& fullPath);
