// Shared by the picture-library tests under Wine: temporary install folders, pictures written by the
// tests themselves (BMP, JPEG through libjpeg, placeable WMF through a metafile DC), a reader for the
// cache files, an in-process trace logger and helpers that find and click the modal windows.
#pragma once

#include "tests/support/BareApp.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/Files.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/MetafileWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "tests/support/Wait.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace librarytest {

using support::fileExists;
using support::filesIn;
using support::findOwnWindow;
using support::readBytes;
using support::TempFolder;
using support::waitForOwnWindow;
using support::waitUntil;
using support::windowText;
using support::writeBytes;

struct Rgb {
    int r, g, b;
};

inline bool looksLike(Rgb a, Rgb b, int tolerance = 12) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

inline std::ostream& operator<<(std::ostream& os, Rgb c) {
    return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

using Painter = std::function<Rgb(int x, int y)>;

// ---- pictures

inline std::uint32_t packed(Rgb c) {
    return std::uint32_t(c.r & 255) << 16 | std::uint32_t(c.g & 255) << 8 | std::uint32_t(c.b & 255);
}

// A 24-bit bottom-up BMP; painter coordinates are top-down.
inline void writeBmp(const std::string& path, int width, int height, const Painter& paint) {
    auto colour = [&](int x, int y) { return packed(paint(x, y)); };
    writeBytes(path, support::bmp24(width, height, colour));
}

inline void writeJpeg(const std::string& path, int width, int height, const Painter& paint) {
    auto colour = [&](int x, int y) { return packed(paint(x, y)); };
    writeBytes(path, support::paintJpeg(width, height, support::cameraJpeg(92), colour));
}

// A placeable WMF of width x height logical units at unitsPerInch, drawn by a metafile DC: each cell of a
// cols x rows grid filled with its colour (cells listed row by row from the top).
inline void writePlaceableWmf(const std::string& path, int width, int height, int unitsPerInch, int cols, int rows,
                              const std::vector<Rgb>& cells) {
    HDC dc = CreateMetaFileA(nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            Rgb c = cells[static_cast<size_t>(row * cols + col)];
            HBRUSH brush = CreateSolidBrush(RGB(c.r, c.g, c.b));
            RECT cell{col * width / cols, row * height / rows, (col + 1) * width / cols, (row + 1) * height / rows};
            FillRect(dc, &cell, brush);
            DeleteObject(brush);
        }
    }
    HMETAFILE metafile = CloseMetaFile(dc);
    UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    support::Bytes body(size);
    GetMetaFileBitsEx(metafile, size, body.data());
    DeleteMetaFile(metafile);
    writeBytes(path,
               support::placeable(0, 0, std::int16_t(width), std::int16_t(height), std::uint16_t(unitsPerInch), body));
}

// ---- cache files

struct BmpFileView {
    std::vector<unsigned char> bytes;
    bool ok = false;

    uint32_t u32(size_t at) const {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    }
    uint16_t u16(size_t at) const { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }
    int width() const { return static_cast<int>(u32(18)); }
    int height() const { return static_cast<int>(u32(22)); }
    int bitCount() const { return u16(28); }
    // Top-down coordinates; 24- and 32-bit files only.
    Rgb at(int x, int y) const {
        const int bpp = bitCount() / 8;
        const uint32_t row = ((static_cast<uint32_t>(width()) * bitCount() + 31) & ~31u) / 8;
        size_t offset = u32(10) + static_cast<size_t>(height() - 1 - y) * row + static_cast<size_t>(x) * bpp;
        return Rgb{bytes[offset + 2], bytes[offset + 1], bytes[offset]};
    }
};

inline BmpFileView readBmpFile(const std::string& path) {
    BmpFileView view;
    view.bytes = readBytes(path);
    view.ok = view.bytes.size() >= 54 && view.bytes[0] == 'B' && view.bytes[1] == 'M' &&
              (view.bitCount() == 24 || view.bitCount() == 32) && view.bytes.size() >= view.u32(10) + view.u32(34);
    return view;
}

// ---- traces

// A logger window on a thread of its own, for the life of the process: the program's trace channel looks
// the logger up once, at its first line.
class TraceRecorder {
public:
    static TraceRecorder& instance() {
        static TraceRecorder recorder;
        return recorder;
    }
    std::string text() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_text;
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_text.clear();
        m_hook = nullptr;
    }
    // Runs on the recorder's thread with each line as it arrives, while the tracing thread still waits for
    // its call to return; cleared by clear().
    void setLineHook(std::function<void(const std::string&)> hook) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_hook = std::move(hook);
    }

private:
    TraceRecorder() {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = std::thread([this, ready] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = &TraceRecorder::proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "LibraryTestLogger";
            RegisterClassA(&wc);
            m_window = CreateWindowExA(0, wc.lpszClassName, "Prismata Debug Logger", WS_OVERLAPPED, 0, 0, 10, 10,
                                       nullptr, nullptr, wc.hInstance, nullptr);
            SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetEvent(ready);
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0)
                DispatchMessageA(&msg);
            DestroyWindow(m_window);
        });
        WaitForSingleObject(ready, 5000);
        CloseHandle(ready);
    }
    ~TraceRecorder() {
        PostMessageA(m_window, WM_QUIT, 0, 0);
        m_thread.join();
    }
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<TraceRecorder*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            const std::string line = static_cast<const char*>(data->lpData);
            std::function<void(const std::string&)> hook;
            {
                std::lock_guard<std::mutex> lock(self->m_mutex);
                self->m_text += line;
                hook = self->m_hook;
            }
            if (hook)
                hook(line);
            return TRUE;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    std::mutex m_mutex;
    std::string m_text;
    std::function<void(const std::string&)> m_hook;
    HWND m_window = nullptr;
    std::thread m_thread;
};

// ---- windows of this process

// The text of a message box (its static control).
inline std::string messageBoxText(HWND box) {
    char text[2048] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

inline void clickButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Runs a driver on another thread while the test thread sits in a modal loop; joined at the end.
class Driver {
public:
    explicit Driver(std::function<void()> steps) : m_thread(std::move(steps)) {}
    ~Driver() {
        if (m_thread.joinable())
            m_thread.join();
    }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

private:
    std::thread m_thread;
};

} // namespace librarytest
