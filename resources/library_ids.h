// Picture library: the build progress dialog.
#pragma once

#define IDD_BUILD 218
#define IDC_BUILD_ABORT 3
#define IDC_BUILD_STATUS 1020
#define IDC_BUILD_PROGRESS 1021
