// Drives the configuration dialogs of a running Prismata.scr from the test process: controls by message,
// tooltips through memory of the dialog's process, screenshots from the screen.
#pragma once

#include "tests/e2e/Harness.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kDialogWait = 15000;

// Prismata in configuration mode with its install folder pointed at a fresh folder.
class ConfigSession {
public:
    ConfigSession() { m_entry.setFolder(m_install.path()); }

    const std::string& installFolder() const { return m_install.path(); }
    std::string profilePath() const { return m_install.path() + "Prismata.ini"; }
    std::string profile() const { return readTextFile(profilePath()); }
    void writeProfile(const std::string& text) const { writeTextFile(profilePath(), text); }

    // A profile value, or "<missing>".
    std::string value(const char* section, const char* key) const {
        char buffer[1024];
        GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, profilePath().c_str());
        return buffer;
    }

    // Starts the program and waits for the main dialog; null when it did not come.
    HWND open(const std::string& arguments = "/c") {
        m_process = startPrismata(arguments);
        m_dialog = waitForProcessWindow(m_process->id(), "Prismata Configuration", kDialogWait);
        return m_dialog;
    }
    // The same, started with Wine's debug channels writing into the Linux side of the log file.
    HWND openWithWineDebug(const std::string& channels, const std::string& logFile) {
        if (!startPrismataWithWineDebug("/c", channels, logFile))
            return nullptr;
        HWND dialog = nullptr;
        pumpUntil(
            [&] {
                dialog = FindWindowA("#32770", "Prismata Configuration");
                return dialog && IsWindowVisible(dialog);
            },
            kDialogWait);
        if (!dialog)
            return nullptr;
        DWORD id = 0;
        GetWindowThreadProcessId(dialog, &id);
        m_process = std::make_unique<Process>(id);
        m_dialog = dialog;
        return dialog;
    }
    HWND dialog() const { return m_dialog; }
    DWORD processId() const { return m_process->id(); }
    HWND waitForWindow(const std::string& title, const std::string& className = "") const {
        return waitForProcessWindow(m_process->id(), title, kDialogWait, className);
    }

    // Pumps this thread's messages meanwhile: an owner window of ours gets sent messages as the dialog goes.
    bool endsWithin(DWORD milliseconds) const {
        DWORD code = 1;
        return pumpUntil([&] { return m_process->waitForExit(0, code); }, milliseconds) && code == 0;
    }

private:
    TempFolder m_install{"install"};
    InstallEntry m_entry;
    std::unique_ptr<Process> m_process;
    HWND m_dialog = nullptr;
};

inline HWND control(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

inline int sliderPos(HWND dialog, int id) {
    return static_cast<int>(SendMessageA(control(dialog, id), TBM_GETPOS, 0, 0));
}
inline void setSliderPos(HWND dialog, int id, int pos) {
    SendMessageA(control(dialog, id), TBM_SETPOS, TRUE, pos);
}
inline bool isChecked(HWND dialog, int id) {
    return SendMessageA(control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline std::string controlText(HWND dialog, int id) {
    return windowText(control(dialog, id));
}
inline void setControlText(HWND dialog, int id, const std::string& text) {
    SendMessageA(control(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
// The folder text is checked off the dialog's thread and OK stays disabled until its answer has come:
// before OK is pressed on a folder that exists, its enabling is waited for.
inline bool waitForOK(HWND dialog, DWORD milliseconds = kDialogWait) {
    return pumpUntil([&] { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }, milliseconds);
}
// Posted: the click may open a modal box whose loop would hold a sent message.
inline void click(HWND dialog, int id) {
    PostMessageA(control(dialog, id), BM_CLICK, 0, 0);
}
inline void pressEnter(HWND window) {
    PostMessageA(window, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(window, WM_KEYUP, VK_RETURN, 0xC0000001);
}
// True when the dialog's thread answers within the time.
inline bool responds(HWND window, DWORD milliseconds = 2000) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, milliseconds, &result) != 0;
}

inline std::string specialFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
    return path;
}

// Memory in another process, for messages whose parameters point at structures.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD processId, size_t size) : m_size(size) {
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (m_process)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* address() const { return static_cast<char*>(m_address); }
    bool write(size_t offset, const void* data, size_t size) const {
        return WriteProcessMemory(m_process, address() + offset, data, size, nullptr) != FALSE;
    }
    bool read(size_t offset, void* data, size_t size) const {
        return ReadProcessMemory(m_process, address() + offset, data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_size;
};

// The tooltip window a dialog owns, or null.
inline HWND toolTipOf(HWND dialog) {
    HWND found = nullptr;
    support::forEachTopWindow([&](HWND hwnd) {
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0 || GetWindow(hwnd, GW_OWNER) != dialog)
            return true;
        found = hwnd;
        return false;
    });
    return found;
}

// Every tool of the dialog's tooltip: control id -> tip text. Read in wide characters, as the narrow form
// of the enumeration cuts texts at 80 characters.
inline std::multimap<int, std::string> toolTips(DWORD processId, HWND dialog) {
    std::multimap<int, std::string> tips;
    HWND tip = toolTipOf(dialog);
    if (!tip)
        return tips;
    const size_t textChars = 1024;
    RemoteBuffer remote(processId, sizeof(TOOLINFOW) + textChars * sizeof(wchar_t));
    if (!remote.address())
        return tips;
    int count = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(TOOLINFOW));
        std::vector<wchar_t> text(textChars, L'\0');
        remote.write(sizeof(TOOLINFOW), text.data(), text.size() * sizeof(wchar_t));
        remote.write(0, &info, sizeof info);
        if (!SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.address())))
            continue;
        remote.read(0, &info, sizeof info);
        remote.read(sizeof(TOOLINFOW), text.data(), text.size() * sizeof(wchar_t));
        text.back() = L'\0';
        char narrow[textChars * 2] = "";
        WideCharToMultiByte(CP_ACP, 0, text.data(), -1, narrow, sizeof narrow, nullptr, nullptr);
        int id = (info.uFlags & TTF_IDISHWND) ? GetDlgCtrlID(reinterpret_cast<HWND>(info.uId)) : -1;
        tips.emplace(id, narrow);
    }
    return tips;
}

// Where screenshots for people to look at are kept: beside the build's bin folder.
inline std::string artifactFolder() {
    std::string folder = binFolder() + "..\\test-artifacts\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Saves what the screen shows of a window (and whatever lies over it) as a 24-bit BMP file. False when
// nothing could be captured or the capture is one flat colour.
inline bool saveScreenshot(HWND window, const std::string& path) {
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return false;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
        DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), imageSize);
        ok = ok && out.good();
        const unsigned char* first = static_cast<const unsigned char*>(bits);
        bool flat = true;
        for (DWORD i = 3; flat && i + 3 <= imageSize; i += 3)
            flat = first[i] == first[0] && first[i + 1] == first[1] && first[i + 2] == first[2];
        ok = ok && !flat;
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace e2e
