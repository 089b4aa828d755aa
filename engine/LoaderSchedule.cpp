#include "engine/LoaderSchedule.h"

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

void runTextureLoader(LoaderHost& host, int count) {
    host.trace(kTraceEntering);
    LoaderSchedule schedule(count);
    for (;; schedule.advance()) {
        const int between = schedule.needsTimeBetweenImages() ? host.timeBetweenImages() : 0;
        switch (host.waitForKill(schedule.nextWaitMs(between))) {
        case WaitResult::Killed:
            host.trace(kTraceSawKill);
            return;
        case WaitResult::Failed:
            host.trace(kTraceWaitFailed);
            return;
        case WaitResult::TimedOut:
            break;
        }
        // A full queue means the frames have stopped taking pictures: skip this one, do not retry it.
        if (host.pendingCount() >= kMaxPendingTextures)
            continue;
        const std::string path = host.pictureEntry(schedule.entryKey());
        if (path.empty()) {
            if (schedule.onEmptyEntry() == LoaderSchedule::AfterEmptyEntry::EndThread) {
                host.trace(kTraceListEnded);
                return;
            }
            continue;
        }
        host.trace("Loading texture " + path + "\n");
        host.loadPicture(path);
    }
}

} // namespace loader
