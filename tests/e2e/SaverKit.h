// Shared pieces of the screen-saver and password end-to-end tests: a private copy of the program with
// the test doubles beside it, the 9x-family switch, X input through xdotool, trace counting and
// screenshots.
#pragma once

#include "tests/e2e/Harness.h"
#include "tests/e2e/ScreenCapture.h"

#include <string>
#include <vector>

namespace e2e::saver {

inline constexpr char kSaverTitle[] = "Prismata Screen Saver";
inline constexpr DWORD kExitWait = 15000;
// Long enough for a check whose pause is never acknowledged (50 polls of 100 ms) and a double's pumping.
inline constexpr DWORD kCheckWait = 12000;
// How long input that must not end the show gets to do so.
inline constexpr DWORD kSettle = 300;

inline std::string closeReason(const std::string& reason) {
    return "Screen saver window being closed because " + reason;
}

// The reasons of every "being closed" line, in order.
inline std::vector<std::string> closeReasons(const std::string& log) {
    const std::string prefix = "Screen saver window being closed because ";
    std::vector<std::string> reasons;
    for (const std::string& line : support::lines(log))
        if (line.rfind(prefix, 0) == 0)
            reasons.push_back(line.substr(prefix.size()));
    return reasons;
}

inline int countCloseLines(const std::string& log) {
    return static_cast<int>(closeReasons(log).size());
}

// The show ended for that reason first. The window loses the activation as it is destroyed, which may
// add "OnActivate" lines after it (their closes go to a window that is gone).
inline bool endedFor(const std::string& log, const std::string& reason) {
    std::vector<std::string> reasons = closeReasons(log);
    if (reasons.empty() || reasons.front() != reason)
        return false;
    for (const std::string& r : reasons)
        if (r != reason && r != "OnActivate")
            return false;
    return true;
}

inline std::vector<std::string> fileLines(const std::string& path) {
    return support::lines(readTextFile(path));
}

// A temporary copy of Prismata.scr, so that the doubles lie beside the program only in tests that want them.
class ProgramCopy {
public:
    ProgramCopy() { (void)CopyFileA((binFolder() + "Prismata.scr").c_str(), (path() + "Prismata.scr").c_str(), FALSE); }

    const std::string& path() const { return m_folder.path(); }

    // A double from bin\doubles, under its own name or another.
    void addDouble(const std::string& name, const std::string& as = "") {
        (void)CopyFileA((binFolder() + "doubles\\" + name).c_str(), (path() + (as.empty() ? name : as)).c_str(), FALSE);
    }
    void addPasswordDouble() { addDouble("PASSWORD.CPL"); }

    // The answer of the PASSWORD.CPL double, and how long it pumps messages before giving it.
    void setPasswordAnswer(int answer, DWORD pumpMilliseconds = 0) {
        writeTextFile(path() + "VerifyScreenSavePwd.answer",
                      std::to_string(answer) + " " + std::to_string(pumpMilliseconds) + "\n");
    }
    // The double's record: "VerifyScreenSavePwd <window>" on entry, "returned <answer>" on return.
    std::vector<std::string> passwordCalls() const { return fileLines(path() + "VerifyScreenSavePwd.calls"); }
    int passwordCallCount() const {
        int count = 0;
        for (const std::string& line : passwordCalls())
            count += line.rfind("VerifyScreenSavePwd ", 0) == 0;
        return count;
    }
    // Waits until the double's record has that many lines.
    bool waitForPasswordLines(size_t lines, DWORD milliseconds) const {
        return pumpUntil([&] { return passwordCalls().size() >= lines; }, milliseconds);
    }

    std::unique_ptr<Process> start(const std::string& arguments) const {
        StartOptions options;
        options.folder = path();
        return startPrismata(arguments, options);
    }

private:
    TempFolder m_folder{"saver"};
};

// GetVersionExA reports the 9x family (platform 1) to the program.
struct Win9xFamily : AppDefault {
    Win9xFamily() : AppDefault("Prismata.scr", "", "Version", "win98") {}
};

// A native MPR.DLL beside the program wins over Wine's builtin one.
struct NativeMprFirst : AppDefault {
    NativeMprFirst() : AppDefault("Prismata.scr", "DllOverrides", "mpr", "native,builtin") {}
};

// Runs xdotool in the X display of this Wine session. Wine starts the Linux program itself; its end
// cannot be waited for, so callers watch for the effect.
inline bool xdotool(const std::string& arguments) {
    std::string line = "/usr/bin/xdotool " + arguments;
    return support::startDetached(line);
}

// Moves the X pointer and waits until the system reports it there.
inline bool moveCursor(int x, int y) {
    if (!xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y)))
        return false;
    return pumpUntil(
        [&] {
            POINT point{};
            GetCursorPos(&point);
            return point.x == x && point.y == y;
        },
        3000);
}

// The cursor the foreground window's thread has set; null while it is hidden.
inline HCURSOR currentCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof info;
    GetCursorInfo(&info);
    return info.hCursor;
}

// A visible top-level window of this process that takes the activation from the show.
class ForegroundThief {
public:
    ForegroundThief() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SaverTestForegroundThief";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Foreground thief", WS_POPUP | WS_VISIBLE, 900, 700, 60, 40,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(m_hwnd);
    }
    ~ForegroundThief() { DestroyWindow(m_hwnd); }
    ForegroundThief(const ForegroundThief&) = delete;
    ForegroundThief& operator=(const ForegroundThief&) = delete;

private:
    HWND m_hwnd;
};

// The whole primary screen, other programs' windows and Direct3D output included.
inline Picture captureWholeScreen() {
    return captureScreen(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

// Kept in the build folder's screenshots folder for a person to look at.
inline void keepScreenshot(const std::string& name, const Picture& shot) {
    std::string folder = binFolder() + "..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    writePng(folder + name + ".png", shot);
}

} // namespace e2e::saver
