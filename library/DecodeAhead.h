// The pictures of a build prepared ahead of the one thread that finishes them in order, so a second core
// decodes while the first draws and writes. Free of window code.
#pragma once

#include "imaging/StopSignal.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace library {

// The owner takes the results 0, 1, 2, ... in order, one by one. Each is prepared exactly once, by a helper
// thread or by the owner itself: the owner prepares the next one nobody has begun when it has to wait for a
// helper. At most `ahead` pictures are begun and not yet taken, so at most that many results are held and at
// most helpers + 1 preparations run at once. Destruction raises the stop every preparation sees, waits for the
// helpers and drops every result not taken.
template <typename Result> class DecodeAhead {
public:
    // Called as prepare(index, stop) for each index below count, on any of the threads; stop is raised by
    // cancel or by the destruction. Result must be default-constructible (a preparation that threw).
    using Prepare = std::function<Result(std::size_t index, const imaging::StopSignal& stop)>;

    DecodeAhead(std::size_t count, int helpers, std::size_t ahead, Prepare prepare, const imaging::StopSignal* cancel)
        : m_count(count), m_ahead(std::max<std::size_t>(ahead, 1)), m_prepare(std::move(prepare)),
          m_stop(m_closing, cancel) {
        const std::size_t wanted = count > 1 ? std::min(static_cast<std::size_t>(std::max(helpers, 0)), count - 1) : 0;
        for (std::size_t i = 0; i < wanted; ++i) {
            try {
                m_helpers.emplace_back([this] { helperLoop(); });
            } catch (const std::system_error&) {
                break; // fewer helpers; the owner prepares what they do not
            }
        }
    }

    ~DecodeAhead() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_closing = true;
        }
        m_changed.notify_all();
        for (std::thread& helper : m_helpers)
            helper.join();
    }

    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // The next result in order; called by the owner alone, at most count times.
    Result takeNext() {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::size_t index = m_taken;
        for (;;) {
            if (m_begun == index) {
                // Nobody has begun it: the owner prepares it itself, as it would without helpers.
                ++m_begun;
                lock.unlock();
                Result result = prepareOne(index);
                lock.lock();
                return taken(std::move(result));
            }
            auto done = m_done.find(index);
            if (done != m_done.end()) {
                Result result = std::move(done->second);
                m_done.erase(done);
                return taken(std::move(result));
            }
            // A helper has it: rather than wait idle, prepare the next one.
            if (canBegin())
                prepareNext(lock);
            else
                m_changed.wait(lock);
        }
    }

    int helperCount() const { return static_cast<int>(m_helpers.size()); }

private:
    class Stop : public imaging::StopSignal {
    public:
        Stop(const std::atomic<bool>& closing, const imaging::StopSignal* cancel)
            : m_closing(closing), m_cancel(cancel) {}
        bool stopRequested() const override { return m_closing.load() || (m_cancel && m_cancel->stopRequested()); }

    private:
        const std::atomic<bool>& m_closing;
        const imaging::StopSignal* m_cancel;
    };

    // Under the lock. Once stopped, nothing new is begun ahead: the owner will take no more.
    bool canBegin() const { return m_begun < m_count && m_begun - m_taken < m_ahead && !m_stop.stopRequested(); }

    Result prepareOne(std::size_t index) {
        try {
            return m_prepare(index, m_stop);
        } catch (const std::exception&) {
            return Result{}; // out of memory, say: this picture fails, the build goes on
        }
    }

    // Under the lock, released while preparing.
    void prepareNext(std::unique_lock<std::mutex>& lock) {
        const std::size_t index = m_begun++;
        lock.unlock();
        Result result = prepareOne(index);
        lock.lock();
        m_done.emplace(index, std::move(result));
        m_changed.notify_all();
    }

    // Under the lock.
    Result taken(Result result) {
        ++m_taken;
        m_changed.notify_all(); // a place ahead is free
        return result;
    }

    void helperLoop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_closing) {
            if (canBegin())
                prepareNext(lock);
            else
                m_changed.wait(lock);
        }
    }

    const std::size_t m_count;
    const std::size_t m_ahead;
    const Prepare m_prepare;
    std::atomic<bool> m_closing{false}; // written under m_mutex, read by the stop without it
    const Stop m_stop;
    std::mutex m_mutex;
    std::condition_variable m_changed; // a result is done, one is taken, or closing
    // Under m_mutex:
    std::size_t m_begun = 0; // indices below it have been begun by someone
    std::size_t m_taken = 0; // indices below it have been taken by the owner
    std::map<std::size_t, Result> m_done;
    std::vector<std::thread> m_helpers; // last: they start once everything above is ready
};

} // namespace library
