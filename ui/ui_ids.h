#pragma once
// Ids of the main window's controls and of the pictures it draws.

// Controls of dialog template 102.
inline constexpr int kProgressBarId = 1000;
inline constexpr int kStatusTextId = 1001;
inline constexpr int kInstallToLabelId = 1010;
inline constexpr int kAcceptTextId = 1014;
inline constexpr int kLicenseLinkId = 1015;
inline constexpr int kPathFieldId = 5690;

// Commands of the image-drawn buttons.
inline constexpr UINT kCloseCommand = 5610;
inline constexpr UINT kMinimizeCommand = 5611;
inline constexpr UINT kContinueCommand = 5612;
inline constexpr UINT kCancelCommand = 5613;
inline constexpr UINT kBrowseCommand = 5614;
inline constexpr UINT kBusyAnimationId = 5615;
inline constexpr UINT kLicenseCheckCommand = 5617;
inline constexpr UINT kOkCommand = 5618;

// Controls of the cancel question, template 213.
inline constexpr int kResumeLabelId = 1019;
inline constexpr int kCancelLabelId = 1020;
inline constexpr int kQuestionTextId = 1021;

// Dialog templates.
inline constexpr UINT kAboutTemplate = 100;
inline constexpr UINT kInstallerTemplate = 102;
inline constexpr UINT kExitOptionTemplate = 213;
inline constexpr UINT kCoverTemplate = 215;

// Pictures (resource type "PNG") and the icon.
inline constexpr UINT kFolderPicture = 154;
inline constexpr UINT kCrossHoverPicture = 157;
inline constexpr UINT kCrossPressedPicture = 158;
inline constexpr UINT kCrossPicture = 159;
inline constexpr UINT kBarHoverPicture = 160;
inline constexpr UINT kBarPressedPicture = 161;
inline constexpr UINT kBarPicture = 162;
inline constexpr UINT kCheckedPicture = 163;
inline constexpr UINT kUncheckedPicture = 165;
inline constexpr UINT kWhiteFacePicture = 209;
inline constexpr UINT kGreyFacePicture = 210;
inline constexpr UINT kGreenFacePicture = 211;
inline constexpr UINT kLogoPicture = 222;
inline constexpr UINT kWindowIcon = 219;
inline constexpr UINT kAboutMenuCommand = 0x10;

// Timers of the main window: the busy animation (40 ms) and the progress creep (500 ms).
inline constexpr UINT_PTR kBusyTimer = 1;
inline constexpr UINT_PTR kProgressTimer = 2;
