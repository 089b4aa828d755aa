/* A d3d8.dll that a program must never load: it stands beside the saver and in its current folder in a
   test. Its Direct3DCreate8 makes nothing, so a show that took it draws only its failure text. */
#include <windows.h>

__declspec(dllexport) void* WINAPI Direct3DCreate8(UINT sdkVersion) {
    (void)sdkVersion;
    return NULL;
}
