#pragma once
// The three worker threads. Each takes the main window as its only parameter,
// runs one stage of the window's engine and returns 0; a null window does nothing.
#include <windows.h>

class CInstallerDlg;

DWORD WINAPI CheckWorker(LPVOID parameter);
DWORD WINAPI DownloadWorker(LPVOID parameter);
DWORD WINAPI InstallWorker(LPVOID parameter);

// Creates a thread running `worker` for `window`; its handle is not kept.
bool StartWorker(LPTHREAD_START_ROUTINE worker, CInstallerDlg* window);

// True while a worker started by StartWorker has not returned. Start-up reads
// it when the window's run has ended: a worker still running may yet touch the
// window, so the process then ends before the window is destroyed.
bool AnyWorkerRunning();

// Waits up to `milliseconds` for every worker to return; true when none runs.
bool WaitForWorkers(unsigned long milliseconds);
