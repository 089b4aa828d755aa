#include "app/SaverApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SaverApp app;
    return app.run(instance);
}
