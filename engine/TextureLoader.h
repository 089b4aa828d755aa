// The texture loader thread: the engine's side of the loader loop (device, queue, lock, kill event)
// and the thread procedure that runs it.
#pragma once

#include "d3dx/D3DX8.h"
#include "engine/LoaderSchedule.h"
#include "framework/Handles.h"
#include "settings/ProfileStore.h"

#include <deque>
#include <memory>
#include <optional>

namespace loader {

using TextureQueue = std::deque<fw::ComPtr<IDirect3DTexture8>>;

// What the loader thread works on, held by the engine and by the thread: whichever lets go last frees it.
// So an engine that stopped waiting for a loader stuck in a read (a network share that stopped answering)
// still finishes its own release, while all of this stays valid for the loader, which ends by itself later.
struct LoaderShared {
    fw::ComPtr<IDirect3DDevice8> device; // a reference of its own; declared first, so released last
    fw::CriticalSection lock;
    TextureQueue queue;             // guarded by lock
    fw::KernelHandle killEvent;     // auto-reset, private to the engine
    settings::ProfileStore profile; // TextureSize, the picture list and the time between pictures
};

// LoaderHost on the engine's objects. Lives on the loader thread's stack.
class TextureLoaderHost : public LoaderHost {
public:
    // textureSize: [Settings] TextureSize as read; below 1 every picture fails cleanly. photos: the picture
    // list as the show found it at its start; without one, each entry is read from the file when it is due.
    TextureLoaderHost(std::shared_ptr<LoaderShared> shared, int textureSize,
                      std::optional<fw::ProfileSection> photos = std::nullopt);

    WaitResult waitForKill(std::uint32_t milliseconds) override;
    int timeBetweenImages() override;
    std::string pictureEntry(const std::string& key) override;
    // A full queue counts as full only when the frames take nothing from it for a while (a pause).
    std::size_t pendingCount() override;
    bool loadPicture(const std::string& path) override;
    void trace(const std::string& line) override;
    std::size_t queuedTextures() override;
    void storePosition(const std::string& text) override;

private:
    // True once the kill event has been seen; the auto-reset event gives its signal only once.
    bool killSeen();
    std::size_t queuedCount();

    std::shared_ptr<LoaderShared> m_shared;
    UINT m_textureSize;
    std::optional<fw::ProfileSection> m_photos;
    bool m_killed = false;
};

} // namespace loader

// The thread procedure; the parameter is a new std::shared_ptr<loader::LoaderShared>, which the thread
// takes over. Always returns 0.
DWORD WINAPI TextureLoader(LPVOID shared);
