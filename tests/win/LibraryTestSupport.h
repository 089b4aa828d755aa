// Shared by the picture-library tests under Wine: temporary install folders, pictures written by the
// tests themselves (BMP, JPEG through libjpeg, placeable WMF through a metafile DC), a reader for the
// cache files, an in-process trace logger and helpers that find and click the modal windows.
#pragma once

#include "framework/WinApp.h"

#include <windows.h>

#include <cstdio>
#include <jpeglib.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace librarytest {

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

// ---- folders and files

inline void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A fresh folder under the temporary folder, ending in a backslash; removed with its contents.
class TempDir {
public:
    explicit TempDir(const std::string& prefix) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        static std::atomic<int> serial{0};
        for (int attempt = 0;; ++attempt) {
            m_path = std::string(base) + prefix + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(serial++) + "\\";
            if (CreateDirectoryA(m_path.c_str(), nullptr) || attempt > 100)
                break;
        }
    }
    ~TempDir() { removeTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// Names in a folder (files only), unsorted.
inline std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// ---- pictures

inline void put16(std::vector<unsigned char>& b, uint32_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
inline void put32(std::vector<unsigned char>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A 24-bit bottom-up BMP; painter coordinates are top-down.
inline void writeBmp(const std::string& path, int width, int height, const Painter& paint) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<unsigned char> b;
    b.push_back('B');
    b.push_back('M');
    put32(b, 54 + row * height);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, width);
    put32(b, height);
    put16(b, 1);
    put16(b, 24);
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    for (int y = height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < width; ++x) {
            Rgb c = paint(x, y);
            b.push_back(static_cast<unsigned char>(c.b));
            b.push_back(static_cast<unsigned char>(c.g));
            b.push_back(static_cast<unsigned char>(c.r));
        }
        b.resize(start + row, 0);
    }
    writeBytes(path, b);
}

inline std::vector<unsigned char> encodeJpeg(int width, int height, const Painter& paint, int quality = 92) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> line(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = paint(x, y);
            line[x * 3] = static_cast<unsigned char>(c.r);
            line[x * 3 + 1] = static_cast<unsigned char>(c.g);
            line[x * 3 + 2] = static_cast<unsigned char>(c.b);
        }
        JSAMPROW rows[1] = {line.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    free(out);
    return bytes;
}

inline void writeJpeg(const std::string& path, int width, int height, const Painter& paint) {
    writeBytes(path, encodeJpeg(width, height, paint));
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
    std::vector<unsigned char> body(size);
    GetMetaFileBitsEx(metafile, size, body.data());
    DeleteMetaFile(metafile);

    std::vector<unsigned char> b;
    put32(b, 0x9AC6CDD7u); // placeable key
    put16(b, 0);           // handle
    put16(b, 0);           // bounding box: left, top, right, bottom
    put16(b, 0);
    put16(b, static_cast<uint32_t>(width));
    put16(b, static_cast<uint32_t>(height));
    put16(b, static_cast<uint32_t>(unitsPerInch));
    put32(b, 0);
    uint16_t checksum = 0;
    for (size_t i = 0; i < 20; i += 2)
        checksum ^= static_cast<uint16_t>(b[i] | b[i + 1] << 8);
    put16(b, checksum);
    b.insert(b.end(), body.begin(), body.end());
    writeBytes(path, b);
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

// ---- the application object the profile functions need

class TestApp : public fw::WinApp {
protected:
    bool InitInstance() override { return false; }
};

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
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_text += static_cast<const char*>(data->lpData);
            return TRUE;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }

    std::mutex m_mutex;
    std::string m_text;
    HWND m_window = nullptr;
    std::thread m_thread;
};

// ---- windows of this process

inline std::string windowText(HWND hwnd) {
    char text[2048] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// A visible top-level window of this process with exactly this title, or null.
inline HWND findOwnWindow(const std::string& title) {
    struct Search {
        const std::string* title;
        HWND found;
    } search{&title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && windowText(hwnd) == *s->title) {
                s->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline bool waitFor(const std::function<bool()>& condition, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(5);
    }
    return true;
}

inline HWND waitForOwnWindow(const std::string& title, DWORD milliseconds = 10000) {
    HWND found = nullptr;
    waitFor([&] { return (found = findOwnWindow(title)) != nullptr; }, milliseconds);
    return found;
}

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
