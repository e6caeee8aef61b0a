#include "workflow/finish.h"

#include "app/user_folders.h"
#include "system/file_tree.h"

void RemoveTempFolder() { RemoveFolder(TempFolder()); }
