# Cross-compile the 64-bit twin of the Windows build: the same sources for x86_64, never shipped (Windows has
# no 64-bit Direct3D 8). It exists to run the Windows tests under Wine on machines that run no 32-bit program.
set(PRISMATA_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
