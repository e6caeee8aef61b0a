#include "app/module_path.h"

#include <windows.h>

ModulePathParts SplitModulePath(const std::wstring& fullPath) {
  ModulePathParts parts;
  parts.fullPath = fullPath;
  const size_t slash = fullPath.rfind(L'\\');
  if (slash != std::wstring::npos && slash >= 1) {
    parts.folder = fullPath.substr(0, slash);
    parts.fileName = fullPath.substr(slash + 1);
  }
  return parts;
}

ModulePathParts GetModulePathParts() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return SplitModulePath(path);
}
