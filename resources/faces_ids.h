// Built-in face bitmaps: face f uses first id + f.
#pragma once

#define IDB_FACE_LARGE_FIRST 174 // 128 x 128, full screen
#define IDB_FACE_SMALL_FIRST 219 // 16 x 16, preview and test windows
