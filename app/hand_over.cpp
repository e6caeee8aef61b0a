#include "app/hand_over.h"

#include <windows.h>

#include "app/child_process.h"
#include "app/install_log.h"

namespace {
constexpr wchar_t kCopyPrefix[] = L"tmp";
constexpr DWORD kPollMilliseconds = 100;
// How long the restarted installer gives the copy that started it to end.
constexpr DWORD kCopyExitWaitMilliseconds = 5000;
}  // namespace

std::wstring HandOverCopyName(const std::wstring& fileName) { return kCopyPrefix + fileName; }

void RunHandOver(const ModulePathParts& self, const std::wstring& arguments) {
  if (self.fileName.size() < 4 || self.fileName.compare(0, 3, kCopyPrefix) != 0) return;
  const std::wstring baseName = self.fileName.substr(3);
  const std::wstring target = self.folder + L"\\" + baseName;

  while (IsProcessRunning(baseName)) Sleep(kPollMilliseconds);

  WriteInstallLog(L"copy file from %s to %s", self.fullPath.c_str(), target.c_str());
  WriteInstallLog(CopyFileW(self.fullPath.c_str(), target.c_str(), FALSE) ? L"Copy ok"
                                                                          : L"Copy failed");
  RunProgram(SW_SHOW, false, self.folder, target, arguments);
}

void RemoveLeftOverCopy(const ModulePathParts& self) {
  const std::wstring copyName = HandOverCopyName(self.fileName);
  const std::wstring copy = self.folder + L"\\" + copyName;
  WriteInstallLog(L"delete file: %s", copy.c_str());
  // The copy that has just started us may still be on its way out, and a running
  // program's file cannot be deleted; give it a moment instead of leaving it behind.
  for (DWORD waited = 0; waited < kCopyExitWaitMilliseconds && IsProcessRunning(copyName);
       waited += kPollMilliseconds) {
    Sleep(kPollMilliseconds);
  }
  if (DeleteFileW(copy.c_str())) {
    WriteInstallLog(L"Delete ok");
  } else {
    WriteInstallLog(L"Delete failed: %d", static_cast<int>(GetLastError()));
  }
}
