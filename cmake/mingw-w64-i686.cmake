# Cross-compile for 32-bit (i686) Windows with mingw-w64; tests run through Wine.
# 32-bit because Windows has Direct3D 8 for 32-bit programs only: on 64-bit Windows they run under WOW64.
set(PRISMATA_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
