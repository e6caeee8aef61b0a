#pragma once
#include <string>

#include "app/module_path.h"

// The self-update copy ("tmp" + the old installer's file name): waits until the
// old installer has ended, copies itself over it and starts it with `arguments`.
// Does nothing when the own file name does not begin with "tmp".
void RunHandOver(const ModulePathParts& self, const std::wstring& arguments);

// The name a self-update copy of `fileName` has in the same folder.
std::wstring HandOverCopyName(const std::wstring& fileName);

// Deletes a self-update copy that an earlier hand-over left beside the program.
void RemoveLeftOverCopy(const ModulePathParts& self);
