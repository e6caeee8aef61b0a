#include "workflow/workers.h"

#include <atomic>
#include <string>

#include "framework/unique_handle.h"
#include "resources/resource_ids.h"
#include "ui/installer_dlg.h"

namespace {

std::atomic<int> runningWorkers{0};

// Counts the worker out when its procedure returns, however it returns.
struct RunningWorker {
  ~RunningWorker() { --runningWorkers; }
};

// No exception leaves a thread procedure: a stage that throws (out of memory)
// ends on the error stage rather than leaving the window waiting forever.
template <typename Stage>
DWORD RunWorker(LPVOID parameter, Stage&& stage) {
  RunningWorker counted;
  auto* window = static_cast<CInstallerDlg*>(parameter);
  if (window == nullptr) return 0;
  try {
    stage(*window);
  } catch (...) {
    window->errorTextId = IDS_UNKNOWN_ERROR;
    window->ShowStage(kStageError);
  }
  return 0;
}

}  // namespace

DWORD WINAPI CheckWorker(LPVOID parameter) {
  return RunWorker(parameter, [](CInstallerDlg& window) { window.engine.RunCheckStage(&window); });
}

DWORD WINAPI DownloadWorker(LPVOID parameter) {
  return RunWorker(parameter, [](CInstallerDlg& window) {
    const bool succeeded = window.engine.RunDownloadStage(&window);
    const std::wstring folderText = window.pathField ? window.pathField->Text() : std::wstring();
    const bool start = window.ClaimInstallStage([&] {
      window.downloadSucceeded = succeeded ? 1 : 0;
      return succeeded && window.browsing == 0 && !folderText.empty();
    });
    if (start) window.StartInstallStage();
  });
}

DWORD WINAPI InstallWorker(LPVOID parameter) {
  return RunWorker(parameter, [](CInstallerDlg& window) { window.engine.RunInstallStage(&window); });
}

bool StartWorker(LPTHREAD_START_ROUTINE worker, CInstallerDlg* window) {
  ++runningWorkers;
  framework::KernelHandle thread(CreateThread(nullptr, 0, worker, window, 0, nullptr));
  if (!thread) {
    --runningWorkers;
    return false;
  }
  return true;
}

bool AnyWorkerRunning() { return runningWorkers.load() > 0; }

bool WaitForWorkers(unsigned long milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (AnyWorkerRunning()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
  return true;
}
