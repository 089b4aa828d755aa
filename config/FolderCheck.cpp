#include "config/FolderCheck.h"

#include "config/FolderText.h"
#include "framework/Handles.h"

#include <atomic>

namespace config {

namespace {

std::atomic<FileAttributesFunction> g_fileAttributes{nullptr};

bool namesFolder(const std::string& folderText) {
    const FileAttributesFunction standIn = g_fileAttributes.load();
    const std::string probe = folderProbePath(folderText);
    const DWORD attributes = standIn ? standIn(probe.c_str()) : GetFileAttributesA(probe.c_str());
    // A file name is no folder to scan, even though the probe path resolves to it.
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

void setFileAttributesForTests(FileAttributesFunction function) {
    g_fileAttributes = function;
}

// What the window's thread and the worker share. The worker holds it too, so that a worker still inside a
// lookup when the dialog goes uses nothing of the dialog's.
struct FolderCheck::Shared {
    fw::CriticalSection lock;
    fw::KernelHandle wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)}; // a new text, or the stop
    // Guarded by lock.
    std::string text;
    unsigned number = 0;
    bool waiting = false; // text has not been taken up yet
    bool stopped = false; // nothing more is posted once set
    HWND window = nullptr;
    UINT message = 0;

    // Under the lock, so that after stop() no answer can reach the window, nor a window that reuses its handle.
    void post(unsigned answered, bool exists) {
        fw::ScopedLock held(lock);
        if (!stopped)
            (void)PostMessageA(window, message, answered, exists ? 1 : 0);
    }
};

namespace {

DWORD WINAPI folderCheckWorker(void* parameter) {
    const std::unique_ptr<std::shared_ptr<FolderCheck::Shared>> owned(
        static_cast<std::shared_ptr<FolderCheck::Shared>*>(parameter));
    FolderCheck::Shared& shared = **owned;
    for (;;) {
        // Unbounded on purpose: each new text and the stop set the event.
        (void)WaitForSingleObject(shared.wake.get(), INFINITE);
        std::string text;
        unsigned number = 0;
        {
            fw::ScopedLock held(shared.lock);
            if (shared.stopped)
                return 0;
            if (!shared.waiting)
                continue;
            text = shared.text;
            number = shared.number;
            shared.waiting = false;
        }
        // Texts asked meanwhile only replace each other; the newest is taken up next.
        shared.post(number, namesFolder(text));
    }
}

} // namespace

FolderCheck::FolderCheck() = default;

FolderCheck::~FolderCheck() {
    stop();
}

void FolderCheck::start(HWND window, UINT message) {
    if (m_shared)
        return;
    m_shared = std::make_shared<Shared>();
    m_shared->window = window;
    m_shared->message = message;
    if (!m_shared->wake)
        return;
    auto forWorker = std::make_unique<std::shared_ptr<Shared>>(m_shared);
    // The handle is not kept: nobody waits for the worker, which ends by itself after the stop.
    const fw::KernelHandle thread(CreateThread(nullptr, 0, folderCheckWorker, forWorker.get(), 0, nullptr));
    if (thread)
        (void)forWorker.release(); // the worker owns it now
    else
        m_shared->wake.reset();
}

void FolderCheck::stop() {
    if (!m_shared)
        return;
    {
        fw::ScopedLock held(m_shared->lock);
        m_shared->stopped = true;
    }
    if (m_shared->wake)
        (void)SetEvent(m_shared->wake.get());
    m_shared.reset();
    m_pending = false;
}

void FolderCheck::ask(const std::string& folderText) {
    if (!m_shared)
        return;
    const unsigned number = ++m_asked;
    m_pending = true;
    if (!m_shared->wake) {
        // No worker: answered here, as before there was one, through the same message.
        m_shared->post(number, namesFolder(folderText));
        return;
    }
    {
        fw::ScopedLock held(m_shared->lock);
        m_shared->text = folderText;
        m_shared->number = number;
        m_shared->waiting = true;
    }
    (void)SetEvent(m_shared->wake.get());
}

std::optional<bool> FolderCheck::answerFor(WPARAM number, LPARAM exists) {
    if (!m_pending || number != m_asked)
        return std::nullopt;
    m_pending = false;
    return exists != 0;
}

} // namespace config
