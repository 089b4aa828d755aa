// Test double of the system's PASSWORD.CPL. VerifyScreenSavePwd answers what the test wrote into
// "VerifyScreenSavePwd.answer" beside this file: "<answer> [<milliseconds>]", the optional time spent
// pumping messages before answering, as the real password dialog's modal loop would (no file: 1). It
// records each call in "VerifyScreenSavePwd.calls" there: "VerifyScreenSavePwd <owner>" on entry and
// "returned <answer>" on the way out.
#include "tests/support/BesideThisModule.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

using support::besideThisModule;

void pumpMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

void record(const std::string& line) {
    if (FILE* calls = std::fopen(besideThisModule("VerifyScreenSavePwd.calls").c_str(), "ab")) {
        std::fputs(line.c_str(), calls);
        std::fclose(calls);
    }
}

} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND owner) {
    record("VerifyScreenSavePwd " + std::to_string(reinterpret_cast<UINT_PTR>(owner)) + "\n");
    int answer = 1;
    unsigned long pump = 0;
    if (FILE* in = std::fopen(besideThisModule("VerifyScreenSavePwd.answer").c_str(), "r")) {
        if (std::fscanf(in, "%d %lu", &answer, &pump) < 1)
            answer = 1;
        std::fclose(in);
    }
    pumpMessages(pump);
    record("returned " + std::to_string(answer) + "\n");
    return answer;
}
