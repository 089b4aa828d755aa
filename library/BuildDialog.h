// The modal "Building Image Folder" dialog: a worker thread converts the queued pictures one by one
// while the dialog shows its status and progress and offers Abort.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "imaging/StopSignal.h"
#include "library/CacheName.h"
#include "library/ImageConversion.h"

#include <atomic>
#include <deque>
#include <functional>
#include <list>
#include <memory>
#include <string>

namespace library {

class BuildDialog : public fw::Dialog {
public:
    // How long OK and Cancel wait for the worker before it is cut off.
    static constexpr DWORD kStopWaitLimit = 10000;
    // Conversion off: how long each picture's status stays on screen.
    static constexpr DWORD kIndexingPause = 200;

    // title: the caption of the box that reports a worker it had to cut off.
    BuildDialog(HWND owner, std::string cacheFolder, std::string title);
    ~BuildDialog() override;

    // Queues the picture files lying directly in folder, in the order the file search returns them; files
    // stored online only are counted instead.
    void scanFolder(std::string folder);
    // The folder and every folder below it, walked by the worker before it converts: the status names each
    // folder, and Abort stops the walk. Once the walk has ended, afterScan runs on the dialog's thread and
    // says whether to convert what was queued; when it says no, the dialog closes itself with IDOK.
    void scanTreeFirst(std::string folder, std::string cacheFolder, std::function<bool()> afterScan);
    // The tree walk ran to its end (always true without one). Read after the dialog has ended.
    bool scanFinished() const { return m_scanFinished; }
    // Pictures left out because reading them would download them.
    int onlineOnlyFiles() const { return m_onlineOnlyFiles; }
    void setConvert(bool convert) { m_convert = convert; }
    int pendingCount() const { return static_cast<int>(m_pending.size()); }
    // Read after the dialog has ended.
    int resultCount() const { return static_cast<int>(m_results.size()); }
    // Empty for an index outside the list.
    std::string resultAt(int index) const {
        return index >= 0 && index < resultCount() ? m_results[static_cast<size_t>(index)] : std::string();
    }

    // Tests shorten the wait for the worker to reach its time-out quickly.
    void setStopWaitLimit(DWORD milliseconds) { m_stopWaitLimit = milliseconds; }

    // Edge length of the cached bitmaps; set before the dialog runs.
    void setTargetSize(int size) { m_targetSize = size; }

    // Tests spread a few pictures over the cache's numbered folders.
    void setPicturesPerCacheFolder(int count) { m_picturesPerCacheFolder = count > 0 ? count : 1; }

    // How many threads decode pictures ahead of the worker; by default one less than the processors this
    // process may run on. 0 converts each picture on the worker alone. Set before the dialog runs.
    void setDecodeAheadThreads(int count) { m_decodeAheadThreads = count; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage) override;
    bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnAbort();
    void OnBuildDone();
    void OnScanDone();

    static DWORD WINAPI buildWorker(void* dialog);
    void runBuild();
    // The tree walk on the worker; false when the run ends with it (aborted, or nothing to convert).
    bool scanTree();
    void endRun();
    // picture: prepared ahead by the worker's helpers, or null to prepare it here.
    bool convertImage(const std::string& sourcePath, const std::string& outputPath, PreparedPicture* picture,
                      PixelsPerInch pixelsPerInch, const imaging::StopSignal& abort);
    void setStatus(const std::string& text);

    // Waits for the worker, letting its synchronous calls into this thread complete. False on time-out.
    // cancellingReads: the run is stopping, and reads that hang are cancelled meanwhile.
    bool waitForWorker(DWORD milliseconds, bool cancellingReads = false);
    // Waits for the worker's end; past the limit, says so and cuts it off.
    void stopWorker(bool reportTimeOut);

    const std::string m_cacheFolder;
    const std::string m_title;
    bool m_convert = true;             // read-only while the worker runs
    std::list<std::string> m_pending;  // filled before the run, then the worker's
    std::deque<std::string> m_results; // the worker's until it has ended
    // Set before the run; the walk's counts are the worker's until it has ended.
    std::string m_treeRoot;
    std::string m_treeCache;
    std::function<bool()> m_afterScan; // runs on the dialog's thread
    bool m_convertScanned = true;      // its answer, read by the worker after it
    bool m_scanFinished = true;
    int m_onlineOnlyFiles = 0;
    // Set by the user-interface thread, read between pictures; shared with the decoding helpers.
    std::shared_ptr<std::atomic<bool>> m_abort = std::make_shared<std::atomic<bool>>(false);
    HWND m_window = nullptr;    // the dialog window, for the worker
    fw::ProgressBar m_progress; // attached before the worker starts
    fw::KernelHandle m_thread;
    DWORD m_stopWaitLimit = kStopWaitLimit;
    int m_targetSize = 256;
    int m_picturesPerCacheFolder = kPicturesPerCacheFolder;
    int m_decodeAheadThreads; // read-only while the worker runs
    bool m_stopping = false;  // OK or Cancel is waiting for the worker
};

} // namespace library
