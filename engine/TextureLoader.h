// The texture loader thread: the engine's side of the loader loop (device, queue, lock, kill event)
// and the thread procedure that runs it.
#pragma once

#include "d3dx/D3DX8.h"
#include "engine/LoaderSchedule.h"
#include "framework/Handles.h"
#include "settings/ProfileStore.h"

#include <deque>

namespace loader {

using TextureQueue = std::deque<fw::ComPtr<IDirect3DTexture8>>;

// What the loader works on. The engine owns all of it and releases none of it before the thread has
// ended.
struct LoaderTarget {
    IDirect3DDevice8* device = nullptr;
    TextureQueue* queue = nullptr; // guarded by lock
    fw::CriticalSection* lock = nullptr;
    HANDLE killEvent = nullptr;     // auto-reset, private to the engine
    settings::ProfileStore profile; // TextureSize, the picture list and the time between pictures
};

// LoaderHost on the engine's objects. Lives on the loader thread's stack.
class TextureLoaderHost : public LoaderHost {
public:
    // textureSize: [Settings] TextureSize as read; below 1 every picture fails cleanly.
    TextureLoaderHost(const LoaderTarget& target, int textureSize);

    WaitResult waitForKill(std::uint32_t milliseconds) override;
    int timeBetweenImages() override;
    std::string pictureEntry(const std::string& key) override;
    // A full queue counts as full only when the frames take nothing from it for a while (a pause).
    std::size_t pendingCount() override;
    void loadPicture(const std::string& path) override;
    void trace(const std::string& line) override;

private:
    // True once the kill event has been seen; the auto-reset event gives its signal only once.
    bool killSeen();
    std::size_t queuedCount();

    LoaderTarget m_target;
    UINT m_textureSize;
    bool m_killed = false;
};

} // namespace loader

// The thread procedure; the parameter is the DXGraphics that started it. Always returns 0.
DWORD WINAPI TextureLoader(LPVOID engine);
