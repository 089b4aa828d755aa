// The texture loader's picture order, waits and trace lines, free of threads, events and Direct3D:
// the engine's loader thread runs it through a LoaderHost, the tests through a fake with a virtual clock.
#pragma once

#include "engine/PictureOrder.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace loader {

inline constexpr int kQuickLoads = 6;            // the first pictures, one per face, come quickly
inline constexpr std::uint32_t kQuickWaitMs = 1; // wait between two of them
inline constexpr std::size_t kMaxPendingTextures = 4;

inline constexpr char kTraceEntering[] = "Entering texture loader thread\n";
inline constexpr char kTraceSawKill[] = "Leaving texture loader thread, saw kill event\n";
inline constexpr char kTraceWaitFailed[] = "Leaving texture loader thread, wait abandoned or failed\n";
inline constexpr char kTraceListEnded[] = "Leaving texture loader thread, 0 length file name, image <= 6\n";
// For the host: printf formats of the lines that follow a load.
inline constexpr char kTraceLoadFailedFormat[] = "Failed to load texture %s, error = %s\n";
inline constexpr char kTraceLoadSucceeded[] = "Load texture succeeded\n";

enum class WaitResult { TimedOut, Killed, Failed };

// What the loader needs from the engine. Every call comes from the loader thread.
class LoaderHost {
public:
    virtual ~LoaderHost() = default;
    // Waits on the kill event for at most that long.
    virtual WaitResult waitForKill(std::uint32_t milliseconds) = 0;
    // [Settings] TimeBetweenImages, read again for every long wait.
    virtual int timeBetweenImages() = 0;
    // [Photos] <key>, empty when missing.
    virtual std::string pictureEntry(const std::string& key) = 0;
    // Textures waiting in the queue, counted under its lock.
    virtual std::size_t pendingCount() = 0;
    // Makes the texture outside the lock, then traces the result and appends it under the lock. Once the
    // kill event is set it must not append: the engine empties the queue once it stops waiting. True when
    // the texture was appended.
    virtual bool loadPicture(const std::string& path) = 0;
    virtual void trace(const std::string& line) = 0;
    // Textures still waiting, at once: those never reached a face.
    virtual std::size_t queuedTextures() = 0;
    // [Show] Position: where the next show goes on.
    virtual void storePosition(const std::string& text) = 0;
};

// Where one run of the loader stands: the picture index n and whether the quick first fill is on.
class LoaderSchedule {
public:
    // count: [Photos] Count (-1 when missing), read once when the thread starts.
    explicit LoaderSchedule(int count) : m_count(count) {}

    // The wait before the next picture: 1 ms during the quick fill, else TimeBetweenImages. A value
    // below 1 (typed into the dialog unchecked) waits 1 ms: 0 must not spin, a negative value must not
    // turn into a wait of days.
    std::uint32_t nextWaitMs(int timeBetweenImages) const;
    bool needsTimeBetweenImages() const { return !(m_initialFill && m_index < kQuickLoads); }

    // "Entry<n mod C>" during the first six loads of a list with pictures (so a short list cycles),
    // else "Entry<n>".
    std::string entryKey() const;

    enum class AfterEmptyEntry { EndThread, RestartList };
    // An empty entry at n <= 6 ends the thread; past that the list has ended: the next picture,
    // one full wait later, is Entry0.
    AfterEmptyEntry onEmptyEntry();

    void advance() { ++m_index; }

    int index() const { return m_index; }
    bool initialFill() const { return m_initialFill; }

private:
    int m_count;
    int m_index = 0;
    bool m_initialFill = true;
};

// The loader thread's whole loop; returns when the thread is to end. An active order chooses the pictures of
// a list longer than six, and the position after the last picture that reached a face is stored when the
// show ends.
void runTextureLoader(LoaderHost& host, int count, PictureOrder order = PictureOrder());

} // namespace loader
