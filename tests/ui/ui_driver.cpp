// Runs the real main window and plays the workers' part on command, so that
// every display can be produced without the network. Usage:
//   ui_driver.exe COMMANDS EVENTS [top left] [--no-font-install] [--real-workers]
// With --real-workers the installer's own workers run as well (against the
// service TestServer.txt names), and the commands only add to what they do.
// COMMANDS is read line by line as lines are appended to it; each command runs
// on a worker thread, as the stages would, and is answered in EVENTS with
// "done N <command>" once its effect is complete.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/user_folders.h"
#include "framework/gdi.h"
#include "system/font_install.h"
#include "ui/installer_dlg.h"

namespace {

constexpr UINT kBrowseMessage = WM_APP + 40;
constexpr UINT kReportStateMessage = WM_APP + 41;

class EventLog {
 public:
  explicit EventLog(std::wstring path) : path_(std::move(path)) {}
  void Write(const std::string& line) {
    std::lock_guard<std::mutex> hold(lock_);
    FILE* file = _wfopen(path_.c_str(), L"ab");
    if (file == nullptr) return;
    fprintf(file, "%s\n", line.c_str());
    fclose(file);
  }

 private:
  std::wstring path_;
  std::mutex lock_;
};

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// How many more GDI objects the process can make before the system refuses:
// Wine's GetGuiResources answers 0, so a leak shows as capacity lost instead.
long FreeGdiHandles() {
  std::vector<HBRUSH> made;
  made.reserve(70000);
  while (made.size() < 70000) {
    HBRUSH brush = CreateSolidBrush(RGB(made.size() & 0xFF, 0, 0));
    if (brush == nullptr) break;
    made.push_back(brush);
  }
  for (HBRUSH brush : made) DeleteObject(brush);
  return static_cast<long>(made.size());
}

std::string FaceOf(HFONT font) {
  framework::WindowDC screen(nullptr);
  framework::ScopedSelect selected(screen.get(), font);
  wchar_t face[LF_FACESIZE] = L"";
  GetTextFaceW(screen.get(), LF_FACESIZE, face);
  return Narrow(face);
}

class DriverDlg : public CInstallerDlg {
 public:
  DriverDlg(std::wstring commands, EventLog& events, bool realWorkers)
      : commands_(std::move(commands)), events_(events), realWorkers_(realWorkers) {}

 protected:
  void StartCheckWorker() override {
    events_.Write("check worker started");
    std::thread([this] { ReadCommands(); }).detach();
    if (realWorkers_) CInstallerDlg::StartCheckWorker();
  }
  void StartDownloadWorker() override {
    events_.Write("download worker started");
    if (realWorkers_) CInstallerDlg::StartDownloadWorker();
  }
  void StartInstallWorker() override {
    events_.Write("install worker started");
    if (realWorkers_) CInstallerDlg::StartInstallWorker();
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == kBrowseMessage) {
      BrowseInstallFolder();
      events_.Write("browse ended");
      return true;
    }
    if (message == kReportStateMessage) {
      ReportState();
      return true;
    }
    return CInstallerDlg::OnMessage(message, wParam, lParam, result);
  }

 private:
  void ReadCommands() {
    size_t done = 0;
    for (;;) {
      std::ifstream file(commands_.c_str(), std::ios::binary);
      std::string line;
      size_t index = 0;
      while (std::getline(file, line)) {
        if (file.eof()) break;  // a line still being written
        if (index++ < done) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        Run(line);
        events_.Write("done " + std::to_string(done + 1) + " " + line);
        ++done;
      }
      Sleep(20);
    }
  }

  void Run(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    long value = 0;
    words >> verb >> value;  // most commands take one number
    if (verb == "stage") {
      ShowStage(static_cast<unsigned>(value));
    } else if (verb == "progress") {
      SendMessageW(ProgressBarWindow(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
    } else if (verb == "download-progress") {
      ReportDownloadProgress(this, static_cast<int32_t>(value), 0);
    } else if (verb == "range") {
      long high = 0;
      words >> high;
      SendMessageW(ProgressBarWindow(), PBM_SETRANGE32, static_cast<WPARAM>(value),
                   static_cast<LPARAM>(high));
      InvalidateRect(ProgressBarWindow(), nullptr, TRUE);
    } else if (verb == "error-text") {
      errorTextId = static_cast<int32_t>(value);
    } else if (verb == "ceiling") {
      ProgressCeiling = static_cast<int32_t>(value);
    } else if (verb == "progress-timer") {
      SetProgressTimer(value != 0);
    } else if (verb == "download-succeeded") {
      downloadSucceeded = static_cast<int32_t>(value);
    } else if (verb == "browse") {
      PostMessageW(hwnd(), kBrowseMessage, 0, 0);
    } else if (verb == "state") {
      SendMessageW(hwnd(), kReportStateMessage, 0, 0);
    } else if (verb == "install-stage") {
      StartInstallStage();
    } else if (verb == "paint") {
      // Paints the window and its controls now; what a screenshot then shows is final.
      RedrawWindow(hwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    } else if (verb == "repaint") {
      // Stage changes and full repaints, for the GDI object count.
      for (long i = 0; i < value; ++i) {
        ShowStage(static_cast<unsigned>(i % 10));
        RedrawWindow(hwnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      }
    } else if (verb == "gdi") {
      events_.Write("gdi " + std::to_string(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) +
                    " user " +
                    std::to_string(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) +
                    " free " + std::to_string(FreeGdiHandles()));
    }
  }

  // On the window thread, so the fields are read between two of its messages.
  void ReportState() {
    const int position = static_cast<int>(SendMessageW(ProgressBarWindow(), PBM_GETPOS, 0, 0));
    PBRANGE range{};
    SendMessageW(ProgressBarWindow(), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    events_.Write("state flags position " + std::to_string(position) + " low " +
                  std::to_string(range.iLow) + " high " + std::to_string(range.iHigh) + " iconic " +
                  std::to_string(IsIconic(hwnd()) ? 1 : 0) + " errorShown " +
                  std::to_string(errorShown) + " continueEnabled " +
                  std::to_string(continueButton->enabled ? 1 : 0) + " browsing " +
                  std::to_string(browsing));
    events_.Write("state installFolder " + Narrow(installFolder));
    events_.Write("state pathField " + Narrow(pathField->Text()));
    events_.Write("state startTime " + Narrow(startTimeText));
    events_.Write("state faces status " + FaceOf(statusFont.get()) + " | label " +
                  FaceOf(labelFont.get()) + " | link " + FaceOf(linkFont.get()));
    const RECT rect = WindowRect();
    events_.Write("state window " + std::to_string(rect.left) + " " + std::to_string(rect.top) +
                  " " + std::to_string(rect.right - rect.left) + " " +
                  std::to_string(rect.bottom - rect.top));
  }

  std::wstring commands_;
  EventLog& events_;
  bool realWorkers_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: ui_driver COMMANDS EVENTS [top left]\n");
    return 2;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  // Without the installation the UI font must be missing: the control run of
  // the tests that show the window really uses the installed face.
  auto hasFlag = [&](const wchar_t* flag) {
    for (int i = 3; i < argc; ++i) {
      if (wcscmp(argv[i], flag) == 0) return true;
    }
    return false;
  };
  if (!hasFlag(L"--no-font-install")) InstallFont();
  EventLog events(argv[2]);
  int result = 0;
  {
    DriverDlg window(argv[1], events, hasFlag(L"--real-workers"));
    if (argc >= 5 && wcsncmp(argv[3], L"--", 2) != 0) {
      window.startTop = _wtoi(argv[3]);
      window.startLeft = _wtoi(argv[4]);
    }
    result = static_cast<int>(window.DoModal(nullptr));
  }
  const DWORD attributes = GetFileAttributesW(TempFolder().c_str());
  events.Write("modal result " + std::to_string(result));
  events.Write(std::string("temp folder ") +
               (attributes != INVALID_FILE_ATTRIBUTES ? "exists" : "gone"));
  // The command reader is still waiting for lines; nothing is left to do.
  ExitProcess(static_cast<UINT>(result));
}
