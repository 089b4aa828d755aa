#include "engine/LoaderSchedule.h"

#include <deque>

namespace loader {

std::uint32_t LoaderSchedule::nextWaitMs(int timeBetweenImages) const {
    if (!needsTimeBetweenImages())
        return kQuickWaitMs;
    return timeBetweenImages < 1 ? 1u : static_cast<std::uint32_t>(timeBetweenImages);
}

std::string LoaderSchedule::entryKey() const {
    const int n = (m_index < kQuickLoads && m_count > 0) ? m_index % m_count : m_index;
    return "Entry" + std::to_string(n);
}

LoaderSchedule::AfterEmptyEntry LoaderSchedule::onEmptyEntry() {
    if (m_index <= kQuickLoads)
        return AfterEmptyEntry::EndThread;
    m_index = -1;
    m_initialFill = false;
    return AfterEmptyEntry::RestartList;
}

namespace {

// The positions after the last pictures appended to the queue, newest last: the queue is first in, first
// out, so those still waiting are the newest ones, and the one before them is the last on a face.
class PlacedPictures {
public:
    void appended(std::string position) {
        m_positions.push_back(std::move(position));
        if (m_positions.size() > kMaxPendingTextures + 1)
            m_positions.pop_front();
    }
    void store(LoaderHost& host) const {
        const std::size_t waiting = host.queuedTextures();
        if (waiting < m_positions.size())
            host.storePosition(m_positions[m_positions.size() - 1 - waiting]);
    }

private:
    std::deque<std::string> m_positions;
};

} // namespace

void runTextureLoader(LoaderHost& host, int count, PictureOrder order) {
    host.trace(kTraceEntering);
    LoaderSchedule schedule(count);
    PlacedPictures placed;
    for (;; schedule.advance(), order.step()) {
        const int between = schedule.needsTimeBetweenImages() ? host.timeBetweenImages() : 0;
        switch (host.waitForKill(schedule.nextWaitMs(between))) {
        case WaitResult::Killed:
            host.trace(kTraceSawKill);
            placed.store(host);
            return;
        case WaitResult::Failed:
            host.trace(kTraceWaitFailed);
            placed.store(host);
            return;
        case WaitResult::TimedOut:
            break;
        }
        // A full queue means the frames have stopped taking pictures: skip this one, do not retry it.
        if (host.pendingCount() >= kMaxPendingTextures)
            continue;
        const std::string key = order.active() ? "Entry" + std::to_string(order.current()) : schedule.entryKey();
        const std::string path = host.pictureEntry(key);
        if (path.empty()) {
            if (schedule.onEmptyEntry() == LoaderSchedule::AfterEmptyEntry::EndThread) {
                host.trace(kTraceListEnded);
                return;
            }
            continue;
        }
        host.trace("Loading texture " + path + "\n");
        if (host.loadPicture(path) && order.active())
            placed.appended(order.positionAfterCurrent());
    }
}

} // namespace loader
