// Whether the folder text of the main settings dialog names an existing folder, asked off the dialog's
// thread: on a network share or a disconnected mapped drive the answer can take seconds.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace config {

// The existence test: GetFileAttributesA, unless a test puts in its own (one that is slow or blocks).
using FileAttributesFunction = DWORD(WINAPI*)(LPCSTR path);
void setFileAttributesForTests(FileAttributesFunction function);

// One worker thread answers the newest text asked; texts asked while it is busy replace each other, so
// a slow lookup never queues one lookup per keystroke. Each answer is posted to the window with the text's
// number; the window hands it to answerFor(), which keeps only the answer for the newest text. Used on the
// window's thread alone.
class FolderCheck {
public:
    FolderCheck();
    ~FolderCheck();
    FolderCheck(const FolderCheck&) = delete;
    FolderCheck& operator=(const FolderCheck&) = delete;

    // Starts the worker; its answers come to the window as the message (wParam the number, lParam 1 when
    // the text names a folder). Without a worker each text is answered on the calling thread.
    void start(HWND window, UINT message);
    // Posts nothing more and returns at once, also while a lookup hangs: the worker then ends on its own
    // once the lookup returns (or with the process).
    void stop();

    // Asks about a new text; its answer replaces any still to come for an older text.
    void ask(const std::string& folderText);
    // True while the newest text has no answer.
    bool pending() const { return m_pending; }
    // The answer carried by a posted message when it is for the newest text; none for an older text.
    std::optional<bool> answerFor(WPARAM number, LPARAM exists);

    // What the window's thread and the worker share; defined beside the worker.
    struct Shared;

private:
    std::shared_ptr<Shared> m_shared; // also held by the worker, which may outlive this object
    unsigned m_asked = 0;             // number of the newest text
    bool m_pending = false;
};

} // namespace config
