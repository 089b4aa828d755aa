// Resource identifiers shared by the .rc files and the code.
#pragma once

#define IDR_MAINFRAME 128

#define IDS_APP_TITLE 57344
#define IDS_SAVER_NAME 1

#include "resources/config_ids.h"
#include "resources/library_ids.h"
#include "resources/faces_ids.h"
