#include "workflow/installer_engine.h"

#include "system/file_tree.h"
#include "system/uninstall_registration.h"

bool InstallerEngine::CopytoInstallPath(std::wstring source, std::wstring destination) {
  return CopyFolderTree(std::move(source), std::move(destination));
}

bool InstallerEngine::RegisterToSystem(std::wstring installFolder) {
  return RegisterUninstallEntry(installFolder, query.applicationInfo.version);
}
