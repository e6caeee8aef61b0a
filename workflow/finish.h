#pragma once

// Clears the per-user temp folder (font copy, archiver, downloads, the
// unpacked package) as far as the file system lets it; silent.
void RemoveTempFolder();
