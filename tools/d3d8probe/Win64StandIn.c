/* The 64-bit d3d8.dll of the Windows-shaped test prefix: Windows has no Direct3D 8 for 64-bit programs, and
   Wine's own 64-bit d3d8 would let a 64-bit build pass every test. This one loads and offers nothing. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) int NoDirect3D8ForWin64(void) {
    return 0;
}
