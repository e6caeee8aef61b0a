#pragma once
// The installer's main window: a borderless 580 x 300 dialog whose modal run
// is the life of the process. It shows one stage at a time; the workers drive
// it through ShowStage and the progress bar, the user through its buttons.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/dialog.h"
#include "framework/png_image.h"
#include "framework/unique_handle.h"
#include "ui/design_button.h"
#include "ui/design_progress.h"
#include "ui/dl_edit.h"
#include "workflow/installer_engine.h"

// What the window shows, selected by ShowStage.
enum DialogStage : unsigned {
  kStageChecking = 0,
  kStageNoConnection = 1,
  kStageUpdatingInstaller = 2,
  kStagePreparing = 3,
  kStageOptions = 4,
  kStageDownloading = 5,
  kStageUnchanged = 6,
  kStageInstalling = 7,
  kStageFinished = 8,
  kStageError = 9,
};

class CInstallerDlg : public framework::Dialog {
 public:
  CInstallerDlg();
  ~CInstallerDlg() override;

  // Callable from any thread: the work is done on the window's thread and is
  // complete when the call returns.
  void ShowStage(unsigned stage);
  void ShowStatusText(bool visible, UINT textId, bool busy, bool withProgress);
  void ShowInstallOptions(bool visible);
  void StartInstallStage();
  // Runs `decide` under the lock that the download worker's end and the folder
  // dialog's end share; true, at most once per window, when `decide` says the
  // install stage is to start now. The caller then calls StartInstallStage.
  bool ClaimInstallStage(const std::function<bool()>& decide);
  // Starts (true) or stops timer 2, which creeps the bar towards ProgressCeiling.
  void SetProgressTimer(bool running);

  // The progress callback of every download: moves the bar to value x 10;
  // cancels only once the window's run has ended.
  static bool ReportDownloadProgress(void* context, int32_t value, int32_t finished);

  // Window thread only.
  int OnButtonCommand(int x, int y, UINT id, CInstallerDlg* window, bool checkState);
  void BrowseInstallFolder();
  void ConfirmCancel();
  void MeasureText(HFONT font, int controlId, const std::wstring& text, SIZE& size) const;

  HWND ProgressBarWindow() const { return progressBar.hwnd(); }

  framework::FontHandle labelFont;
  framework::FontHandle statusFont;
  framework::FontHandle linkFont;
  framework::IconHandle windowIcon;
  framework::BrushHandle whiteBrush;
  std::unique_ptr<CDesignButton> continueButton;
  std::unique_ptr<CDesignButton> cancelButton;
  std::unique_ptr<CDesignButton> okButton;
  std::unique_ptr<CDesignButton> browseButton;
  std::unique_ptr<CDesignButton> busyAnimation;
  std::unique_ptr<CDesignButton> closeButton;
  std::unique_ptr<CDesignButton> minimizeButton;
  std::unique_ptr<CDesignButton> licenseCheck;
  std::atomic<int32_t> ProgressCeiling{0};  // written by the install worker, read by timer 2
  int32_t errorShown = 0;
  std::wstring installFolder;
  std::wstring startTimeText;
  std::unique_ptr<CDLEdit> pathField;
  CDesignProgress progressBar;
  InstallerEngine engine;
  int32_t downloadSucceeded = 0;
  int32_t browsing = 0;
  int32_t errorTextId = 0;
  // Set once the window's run has ended: a download still running stops.
  std::atomic<bool> runEnded{false};
  int32_t startLeft = 0;
  int32_t startTop = 0;

 protected:
  void OnCreate() override;
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  HBRUSH OnCtlColor(HDC dc, HWND child, HBRUSH reflected) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Where the three workers begin; a test window may play them instead.
  virtual void StartCheckWorker();
  virtual void StartDownloadWorker();
  virtual void StartInstallWorker();

 private:
  template <typename Work>
  void OnWindowThread(Work&& work);
  void ShowStageHere(unsigned stage);
  void ShowStatusTextHere(bool visible, UINT textId, bool busy, bool withProgress);
  void ShowInstallOptionsHere(bool visible);

  void SetUpControls();
  void SetUpTitleButtons();
  void SetUpInstallFolderRow();
  void SetUpLicenseRow();
  void SetUpTextButtons();
  void AddAboutMenuEntry();
  std::unique_ptr<CDesignButton> MakeButton(UINT id, UINT normal, UINT hover, UINT pressed,
                                            const std::wstring& text, const RECT& rect);
  void OnPaint();
  void DrawBorder();
  void OnTimer(UINT_PTR id);
  void OpenTermsPage();

  std::mutex installStartLock_;
  bool installStageClaimed_ = false;
  framework::GdiplusUser gdiplus_;  // GDI+ stays up while the window draws pictures
};
