#include "ui/installer_dlg.h"

#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <functional>

#include "framework/gdi.h"
#include "framework/string_table.h"
#include "resources/resource_ids.h"
#include "ui/about_dlg.h"
#include "ui/ui_ids.h"
#include "ui/window_placement.h"
#include "update/service_endpoint.h"
#include "workflow/workers.h"

namespace {

// Carries a task from another thread; the sender waits until it has run.
constexpr UINT kRunOnWindowThreadMessage = WM_APP + 1;
constexpr int kWindowWidth = 580;
constexpr int kWindowHeight = 300;

// The local time as "%m/%d/%Y %H:%M:%S", in double quotes.
std::wstring QuotedStartTime() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[100] = L"";
  swprintf(text, 100, L"%02u/%02u/%04u %02u:%02u:%02u", now.wMonth, now.wDay, now.wYear,
           now.wHour, now.wMinute, now.wSecond);
  return L"\"" + std::wstring(text) + L"\"";
}

}  // namespace

CInstallerDlg::CInstallerDlg() : framework::Dialog(kInstallerTemplate) {
  progressBar.backgroundColor = RGB(232, 231, 231);
  progressBar.barColor = RGB(48, 123, 215);
  windowIcon.reset(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(kWindowIcon), IMAGE_ICON, 0, 0,
                                                 LR_DEFAULTSIZE)));
}

CInstallerDlg::~CInstallerDlg() = default;

template <typename Work>
void CInstallerDlg::OnWindowThread(Work&& work) {
  HWND window = hwnd();
  if (window == nullptr) return;
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    work();
    return;
  }
  std::function<void()> task(std::forward<Work>(work));
  SendMessageW(window, kRunOnWindowThreadMessage, 0, reinterpret_cast<LPARAM>(&task));
}

void CInstallerDlg::ShowStage(unsigned stage) {
  OnWindowThread([this, stage] { ShowStageHere(stage); });
}

void CInstallerDlg::ShowStatusText(bool visible, UINT textId, bool busy, bool withProgress) {
  OnWindowThread([=] { ShowStatusTextHere(visible, textId, busy, withProgress); });
}

void CInstallerDlg::ShowInstallOptions(bool visible) {
  OnWindowThread([this, visible] { ShowInstallOptionsHere(visible); });
}

void CInstallerDlg::StartInstallStage() {
  ShowStage(kStageInstalling);
  SendMessageW(progressBar.hwnd(), PBM_SETPOS, 0, 0);
  StartInstallWorker();
}

bool CInstallerDlg::ClaimInstallStage(const std::function<bool()>& decide) {
  std::lock_guard<std::mutex> hold(installStartLock_);
  if (!decide() || installStageClaimed_) return false;
  installStageClaimed_ = true;
  return true;
}

void CInstallerDlg::StartCheckWorker() { StartWorker(CheckWorker, this); }
void CInstallerDlg::StartDownloadWorker() { StartWorker(DownloadWorker, this); }
void CInstallerDlg::StartInstallWorker() { StartWorker(InstallWorker, this); }

void CInstallerDlg::SetProgressTimer(bool running) {
  OnWindowThread([this, running] {
    if (running) {
      SetTimer(hwnd(), kProgressTimer, 500, nullptr);
    } else {
      KillTimer(hwnd(), kProgressTimer);
    }
  });
}

bool CInstallerDlg::ReportDownloadProgress(void* context, int32_t value, int32_t) {
  auto* window = static_cast<CInstallerDlg*>(context);
  if (window == nullptr) return true;
  if (window->runEnded) return false;
  SendMessageW(window->progressBar.hwnd(), PBM_SETPOS, value * 10, 0);
  return true;
}

void CInstallerDlg::OnCreate() {
  RECT frame{0, 0, kWindowWidth, kWindowHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(Style()), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE)));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const POINT origin = MainWindowOrigin(startLeft, startTop, workArea, width, height);
  startLeft = origin.x;
  startTop = origin.y;
  MoveTo(startLeft, startTop, width, height);
}

BOOL CInstallerDlg::OnInitDialog() {
  AddAboutMenuEntry();
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon.get()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon.get()));
  startTimeText = QuotedStartTime();
  SetText(framework::LoadStringText(IDS_PRODUCT_NAME));
  SetUpTitleButtons();
  SetUpControls();
  ShowStage(kStageChecking);
  StartCheckWorker();
  return TRUE;
}

void CInstallerDlg::AddAboutMenuEntry() {
  const std::wstring entry = framework::LoadStringText(IDS_ABOUT_MENU);
  HMENU menu = GetSystemMenu(hwnd(), FALSE);
  if (menu == nullptr || entry.empty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kAboutMenuCommand, entry.c_str());
}

bool CInstallerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case kRunOnWindowThreadMessage:
      (*reinterpret_cast<std::function<void()>*>(lParam))();
      result = 0;
      return true;
    case WM_PAINT:
      OnPaint();
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = TRUE;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(windowIcon.get());
      return true;
    case WM_TIMER:
      OnTimer(wParam);
      return false;
    case WM_LBUTTONDOWN:
      // A press on the surface moves the window, as a caption would.
      PostMessageW(hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
      return false;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kAboutMenuCommand) {
        CAboutDlg about;
        about.DoModal(hwnd());
        result = 0;
        return true;
      }
      return false;
    case WM_COMMAND:
      if (LOWORD(wParam) == kLicenseLinkId && HIWORD(wParam) == STN_CLICKED) {
        OpenTermsPage();
        result = 0;
        return true;
      }
      return false;
    default:
      return false;
  }
}

void CInstallerDlg::OnTimer(UINT_PTR id) {
  if (id == kBusyTimer && busyAnimation) {
    int& frame = busyAnimation->frame;
    if (frame >= 1 && frame <= 19) {
      ++frame;
    } else if (frame == 20) {
      frame = 1;
    } else {
      KillTimer(hwnd(), kBusyTimer);
    }
    busyAnimation->RedrawNow();
  } else if (id == kProgressTimer) {
    HWND bar = progressBar.hwnd();
    const int position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
    if (position + 2 <= ProgressCeiling) SendMessageW(bar, PBM_SETPOS, position + 2, 0);
  }
}

void CInstallerDlg::OpenTermsPage() {
  const std::wstring page = kBuiltInServiceBaseUrl + std::wstring(L"/legal/terms");
  // The Windows folder's explorer by its full path: a bare name is searched
  // for beside the elevated installer first, in a folder the user can write.
  wchar_t windows[MAX_PATH] = L"";
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  const std::wstring explorer = std::wstring(windows) + L"\\explorer.exe";
  ShellExecuteW(nullptr, L"open", explorer.c_str(), page.c_str(), nullptr, SW_SHOW);
}

void CInstallerDlg::MeasureText(HFONT font, int controlId, const std::wstring& text,
                                SIZE& size) const {
  HWND child = Item(controlId);
  framework::WindowDC dc(child);
  framework::ScopedSelect selected(dc.get(), font);
  size = SIZE{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
}
