#include "system/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "app/user_folders.h"
#include "framework/unique_handle.h"

namespace {

// COM on this thread for the length of one call, apartment-threaded.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  bool initialised() const { return initialised_; }

 private:
  bool initialised_;
};

}  // namespace

std::wstring ProgramsShortcutPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_COMMON_PROGRAMS, FALSE);
  return std::wstring(folder) + L"\\" + name + L".lnk";
}

bool CreateShortcuts(std::wstring target, std::wstring name) {
  // The desktop is the console user's, resolved afresh for this step.
  ProcessUser();
  ComApartment com;
  if (!com.initialised()) return true;

  framework::ComPtr<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              link.receive()))) {
    return true;
  }
  link->SetPath(target.c_str());  // everything else keeps the shell's defaults
  framework::ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.receive()))) return true;

  const std::wstring desktopShortcut = DesktopFolder() + L"\\" + name + L".lnk";
  file->Save(desktopShortcut.c_str(), FALSE);
  file.reset();

  // The desktop shell picks up the new link before its copy is made. An
  // existing Programs shortcut is kept: it may belong to an earlier install.
  Sleep(1000);
  CopyFileW(desktopShortcut.c_str(), ProgramsShortcutPath(name).c_str(), TRUE);
  return true;
}
