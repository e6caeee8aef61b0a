#pragma once
// Numbers of the program's resources; shared by the code and the .rc files.

#define IDR_FILE_ARCHIVER 156  /* FILE: the console archiver, saved as 7za.exe */
#define IDR_FILE_FONT 208      /* FILE: Roboto-Regular.ttf */

#define IDS_ABOUT_MENU 101
#define IDS_UPDATING_INSTALLER 102
#define IDS_NO_CONNECTION 103
#define IDS_TRY_AGAIN_LATER 104
#define IDS_COMPLETE_STARTING 105
#define IDS_CHECKING_INTERNET 106
#define IDS_PREPARE_TO_INSTALL 107
#define IDS_I_ACCEPT 108
#define IDS_LICENSE_AGREEMENT 109
#define IDS_CONTINUE 110
#define IDS_CANCEL 111
#define IDS_DOWNLOADING 112
#define IDS_INSTALLING 113
#define IDS_INSTALL_TO 114
#define IDS_INSTALLING_TO 115
#define IDS_INSTALL 116
#define IDS_SERVER_CONFIG_ERROR 117
#define IDS_UNKNOWN_ERROR 118
#define IDS_CANCEL_QUESTION 119
#define IDS_RESUME 120
#define IDS_INSTALL_FAILED 121
#define IDS_OK 122
#define IDS_PRODUCT_NAME 123
