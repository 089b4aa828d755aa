// Resource identifiers shared by the .rc files and the code.
#pragma once

#define IDR_MAINFRAME 128
#define IDD_CONFIG 129

#define IDS_APP_TITLE 57344
#define IDS_SAVER_NAME 1
