#pragma once
#include <string>

// Copies the tree under `source` into `destination`, creating its folders and
// replacing files that are already there. True when every file was copied or
// there was nothing to enumerate; false at the first file that cannot be
// copied, leaving what was copied before it. Links are not followed.
bool CopyFolderTree(std::wstring source, std::wstring destination);

// Deletes the tree under `path` and the folder itself, as far as the file
// system lets it; a path of 3 characters or fewer (a drive root) is left alone.
// A link inside the tree is removed as a link, its target untouched.
void RemoveFolder(std::wstring path);

// Deletes "<desktop>\<name>.lnk" from the console user's desktop, if it is there.
void DeleteDesktopShortcut(std::wstring name);
