#include "engine/TextureLoader.h"

#include "framework/Trace.h"
#include "imaging/StopSignal.h"
#include "settings/SettingsKeys.h"

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace loader {

namespace {
constexpr int kDefaultTextureSize = 256;
constexpr int kDefaultTimeBetweenImages = 5000;
constexpr int kCountMissing = -1;
// How long a full queue may take to get room before it counts as full: many frames' worth, so only
// frames that have stopped (a pause) make the loader skip a picture.
constexpr DWORD kRoomWaitMs = 500;
constexpr DWORD kRoomPollMs = 5;

// A new shuffle's seed: differs from show to show and from process to process.
std::uint32_t freshSeed() {
    LARGE_INTEGER counter{};
    (void)QueryPerformanceCounter(&counter);
    return static_cast<std::uint32_t>(counter.QuadPart) ^ (GetCurrentProcessId() * 2654435761u) ^ GetTickCount();
}

// The kill event, polled by the picture's reading and decoding so a long load ends when the show does.
// Decoders poll once a row; the event is asked at most every few milliseconds, since each wait is a
// round trip to the system (under Wine, to its server): a picture of a million rows would otherwise
// spend most of a minute asking.
class KillSignal : public imaging::StopSignal {
public:
    explicit KillSignal(std::function<bool()> seen) : m_seen(std::move(seen)) {}
    bool stopRequested() const override {
        const DWORD now = GetTickCount();
        if (m_stopped || (m_asked && now - m_lastAsked < kKillPollMs))
            return m_stopped;
        m_asked = true;
        m_lastAsked = now;
        m_stopped = m_seen();
        return m_stopped;
    }

private:
    static constexpr DWORD kKillPollMs = 5;
    std::function<bool()> m_seen;
    mutable bool m_asked = false;
    mutable bool m_stopped = false;
    mutable DWORD m_lastAsked = 0;
};
} // namespace

TextureLoaderHost::TextureLoaderHost(std::shared_ptr<LoaderShared> shared, int textureSize,
                                     std::optional<fw::ProfileSection> photos)
    : m_shared(std::move(shared)),
      // 0 is refused by the texture code; a negative size must not become D3DX_DEFAULT ((UINT)-1),
      // which would quietly load the picture at its own size.
      m_textureSize(textureSize > 0 ? static_cast<UINT>(textureSize) : 0u), m_photos(std::move(photos)) {}

WaitResult TextureLoaderHost::waitForKill(std::uint32_t milliseconds) {
    if (m_killed)
        return WaitResult::Killed;
    switch (WaitForSingleObject(m_shared->killEvent.get(), milliseconds)) {
    case WAIT_OBJECT_0:
        m_killed = true;
        return WaitResult::Killed;
    case WAIT_TIMEOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

bool TextureLoaderHost::killSeen() {
    if (!m_killed && WaitForSingleObject(m_shared->killEvent.get(), 0) == WAIT_OBJECT_0)
        m_killed = true;
    return m_killed;
}

int TextureLoaderHost::timeBetweenImages() {
    return m_shared->profile.readInt(keys::kSettings, keys::kTimeBetweenImages, kDefaultTimeBetweenImages);
}

std::string TextureLoaderHost::pictureEntry(const std::string& key) {
    if (m_photos)
        return m_photos->value(key).value_or("");
    return m_shared->profile.readString(keys::kPhotos, key.c_str(), "");
}

std::size_t TextureLoaderHost::queuedCount() {
    fw::ScopedLock lock(m_shared->lock);
    return m_shared->queue.size();
}

std::size_t TextureLoaderHost::pendingCount() {
    // Small pictures load faster than the frames take them (one per frame), so the queue fills up
    // during the quick first loads while the frames run; skipping then would leave faces of a short
    // list without their pictures for good. Give the frames time to take one.
    const DWORD start = GetTickCount();
    for (;;) {
        const std::size_t count = queuedCount();
        if (count < kMaxPendingTextures || m_killed || GetTickCount() - start >= kRoomWaitMs)
            return count;
        const DWORD waited = WaitForSingleObject(m_shared->killEvent.get(), kRoomPollMs);
        if (waited == WAIT_OBJECT_0)
            m_killed = true; // the next wait reports it
        else if (waited != WAIT_TIMEOUT)
            return count;
    }
}

bool TextureLoaderHost::loadPicture(const std::string& path) {
    // Declared before the lock: a texture that is not handed over goes after the lock is released.
    fw::ComPtr<IDirect3DTexture8> texture;
    const KillSignal kill([this] { return killSeen(); });
    const HRESULT made =
        d3dx::createTextureFromFile(m_shared->device.get(), path.c_str(), m_textureSize, m_textureSize, D3DX_DEFAULT, 0,
                                    D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, nullptr, texture.receive(), &kill);
    // Cut short by the kill event (or its read cancelled by the stop): not the picture's failure; the next
    // wait reports the kill.
    if (FAILED(made) && killSeen())
        return false;
    if (FAILED(made)) {
        const char* name = DXGetErrorString8A(made);
        // Sized for the path, however long.
        std::vector<char> line(
            static_cast<std::size_t>(std::snprintf(nullptr, 0, kTraceLoadFailedFormat, path.c_str(), name)) + 1);
        (void)std::snprintf(line.data(), line.size(), kTraceLoadFailedFormat, path.c_str(), name);
        trace(line.data());
        return false;
    }
    {
        // Checked under the lock the engine takes to empty the queue: once the engine has set the
        // event, nothing more is appended for it to miss.
        fw::ScopedLock lock(m_shared->lock);
        if (killSeen())
            return false;
        m_shared->queue.push_back(std::move(texture));
    }
    trace(kTraceLoadSucceeded);
    return true;
}

std::size_t TextureLoaderHost::queuedTextures() {
    return queuedCount();
}

void TextureLoaderHost::storePosition(const std::string& text) {
    (void)m_shared->profile.writeString(keys::kShow, keys::kPosition, text.c_str());
}

void TextureLoaderHost::trace(const std::string& line) {
    Trace("%s", line.c_str());
}

} // namespace loader

DWORD WINAPI TextureLoader(LPVOID shared) {
    std::shared_ptr<loader::LoaderShared> state;
    {
        std::unique_ptr<std::shared_ptr<loader::LoaderShared>> given(
            static_cast<std::shared_ptr<loader::LoaderShared>*>(shared));
        state = std::move(*given);
    }
    const settings::ProfileStore& profile = state->profile;
    const int textureSize = profile.readInt(keys::kSettings, keys::kTextureSize, loader::kDefaultTextureSize);
    // The list in one read of the file, however long it is; a file the profile functions must read (Unicode
    // text) is read a key at a time, as ever.
    std::optional<fw::ProfileSection> photos = profile.readSectionOnce(keys::kPhotos);
    const int count = photos ? photos->intValue(keys::kCount, loader::kCountMissing)
                             : profile.readInt(keys::kPhotos, keys::kCount, loader::kCountMissing);
    const loader::OrderMode mode = loader::orderModeOf(profile.readInt(keys::kSettings, keys::kPictureOrder, 0));
    loader::PictureOrder order;
    if (mode != loader::OrderMode::FromFirst) {
        const std::string stamp =
            photos ? photos->value(keys::kStamp).value_or("") : profile.readString(keys::kPhotos, keys::kStamp);
        order = loader::PictureOrder(mode, count, stamp, profile.readString(keys::kShow, keys::kPosition),
                                     loader::freshSeed());
    }
    loader::TextureLoaderHost host(std::move(state), textureSize, std::move(photos));
    loader::runTextureLoader(host, count, std::move(order));
    return 0;
}
