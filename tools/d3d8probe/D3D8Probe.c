/* D3D8Probe <report file>: what a program of this build's architecture gets from Direct3D 8 on this system,
   found the way any program finds d3d8.dll. Written in C so the same file builds as a 64-bit program with
   nothing but the compiler. The report names the pointer size, then how far the probe came. */
#include <windows.h>

#include <d3d8.h>

typedef IDirect3D8*(WINAPI* Direct3DCreate8Fn)(UINT);

static void append(HANDLE report, const char* line) {
    DWORD written = 0;
    WriteFile(report, line, lstrlenA(line), &written, NULL);
}

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    HANDLE report = CreateFileA(argv[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (report == INVALID_HANDLE_VALUE)
        return 2;
    append(report, sizeof(void*) == 8 ? "64-bit program\r\n" : "32-bit program\r\n");
    HMODULE library = LoadLibraryA("d3d8.dll");
    Direct3DCreate8Fn create = NULL;
    if (!library)
        append(report, "no d3d8.dll\r\n");
    else if (!(create = (Direct3DCreate8Fn)(void*)GetProcAddress(library, "Direct3DCreate8")))
        append(report, "no Direct3DCreate8\r\n");
    else {
        IDirect3D8* d3d = create(120);
        if (!d3d)
            append(report, "no Direct3D object\r\n");
        else {
            D3DDISPLAYMODE mode;
            append(report, SUCCEEDED(IDirect3D8_GetAdapterDisplayMode(d3d, D3DADAPTER_DEFAULT, &mode))
                               ? "Direct3D 8 ready\r\n"
                               : "no display mode\r\n");
            IDirect3D8_Release(d3d);
        }
    }
    CloseHandle(report);
    return 0;
}
