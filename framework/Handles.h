// Small move-only owners for Win32 handles and COM pointers.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <utility>

namespace fw {

// Owns one handle; Traits supply the empty value and how to close it.
template <typename Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : m_handle(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::empty(); }
    Handle release() { return std::exchange(m_handle, Traits::empty()); }
    void reset(Handle h = Traits::empty()) {
        Handle old = std::exchange(m_handle, h);
        if (old != Traits::empty())
            Traits::close(old);
    }
    // For out-parameters: releases what is held and hands out the slot.
    Handle* receive() {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)CloseHandle(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)RegCloseKey(h); }
};
struct LibraryTraits {
    using Handle = HMODULE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)FreeLibrary(h); }
};
// CreateFile reports failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { (void)CloseHandle(h); }
};
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle empty() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { (void)FindClose(h); }
};
template <typename T> struct GdiObjectTraits {
    using Handle = T;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)DeleteObject(h); }
};
// A DC of our own (CreateCompatibleDC), not one borrowed from a window.
struct MemoryDCTraits {
    using Handle = HDC;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)DeleteDC(h); }
};
struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)GlobalFree(h); }
};
struct EnhMetafileTraits {
    using Handle = HENHMETAFILE;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)DeleteEnhMetaFile(h); }
};
struct IconTraits {
    using Handle = HICON;
    static Handle empty() { return nullptr; }
    static void close(Handle h) { (void)DestroyIcon(h); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using Library = UniqueHandle<LibraryTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using MemoryDC = UniqueHandle<MemoryDCTraits>;
using GlobalMemory = UniqueHandle<GlobalMemoryTraits>;
using EnhMetafile = UniqueHandle<EnhMetafileTraits>;
using Bitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using Font = UniqueHandle<GdiObjectTraits<HFONT>>;
using Brush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using Icon = UniqueHandle<IconTraits>;

// Typed blocks from LocalAlloc and from the COM task allocator (what the shell hands out).
struct LocalMemoryFree {
    void operator()(void* block) const { (void)LocalFree(block); }
};
struct CoTaskMemoryFree {
    void operator()(void* block) const { CoTaskMemFree(block); }
};
template <typename T> using LocalMemory = std::unique_ptr<T, LocalMemoryFree>;
template <typename T> using CoTaskMemory = std::unique_ptr<T, CoTaskMemoryFree>;

// A COM interface pointer released once, when the owner goes.
template <typename T> class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : m_ptr(p) {}
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.m_ptr, nullptr));
        return *this;
    }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    void reset(T* p = nullptr) {
        T* old = std::exchange(m_ptr, p);
        if (old)
            old->Release();
    }
    T** receive() {
        reset();
        return &m_ptr;
    }
    // Hands the reference to the caller.
    T* detach() { return std::exchange(m_ptr, nullptr); }

private:
    T* m_ptr = nullptr;
};

// A critical section and its scoped lock.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void lock() { EnterCriticalSection(&m_section); }
    void unlock() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : m_section(section) { m_section.lock(); }
    ~ScopedLock() { m_section.unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& m_section;
};

// A window DC from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC() {
        if (m_dc)
            (void)ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint/EndPaint around one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_dc = BeginPaint(hwnd, &m_paint); }
    ~PaintDC() { (void)EndPaint(m_hwnd, &m_paint); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Selects a GDI object into a DC for one scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~SelectObjectScope() { (void)SelectObject(m_dc, m_old); }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace fw
