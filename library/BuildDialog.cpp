#include "library/BuildDialog.h"

#include "framework/BlockingReads.h"
#include "framework/ComApartment.h"
#include "imaging/StopSignal.h"
#include "library/BuildStatus.h"
#include "library/CacheFolder.h"
#include "library/CacheName.h"
#include "library/DecodeAhead.h"
#include "library/FileSearch.h"
#include "library/FolderWalk.h"
#include "library/ImageConversion.h"
#include "library/LibraryText.h"
#include "resources/resource.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace library {

namespace {
// The worker's last call, sent from its thread; DM_GETDEFID shares the number but comes from the dialog's.
constexpr UINT kBuildDone = WM_USER;
// Sent by the worker when its tree walk has ended.
constexpr UINT kScanDone = WM_APP + 1;

// Abort, seen by the conversion between read chunks and rows, so a large picture does not hold it up. It holds
// the flag itself: a helper still decoding after a worker cut off at the time limit must not read a gone dialog.
class AbortSignal : public imaging::StopSignal {
public:
    explicit AbortSignal(std::shared_ptr<const std::atomic<bool>> abort) : m_abort(std::move(abort)) {}
    bool stopRequested() const override { return m_abort->load(); }

private:
    std::shared_ptr<const std::atomic<bool>> m_abort;
};

constexpr int kMaxDecodeAheadThreads = 3;

// Once the run is to stop, reads that hang are cancelled again and again until the worker has ended: a
// reader may be just about to begin one when a sweep passes.
constexpr UINT_PTR kCancelReadsTimer = 1;
constexpr UINT kCancelReadsEvery = 50;
// After the time limit: how long the worker, its reads cancelled, has to end by itself.
constexpr DWORD kEndAfterCancelWait = 1000;

void CALLBACK cancelReads(HWND, UINT, UINT_PTR, DWORD) {
    fw::cancelBlockingReads();
}

// Pictures begun ahead of the worker and not yet taken by it: enough that one large photo on one thread does not
// keep the others idle, few enough that their pixels (each at most the target size squared) stay small.
std::size_t picturesAhead(int targetSize) {
    constexpr std::size_t kMostPixelBytes = std::size_t(32) << 20;
    const std::size_t side = static_cast<std::size_t>(std::max(targetSize, 1));
    return std::clamp<std::size_t>(kMostPixelBytes / (side * side * 4), 2, 16);
}

int processorsOfThisProcess() {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system))
        return 1;
    int count = 0;
    for (; process; process &= process - 1)
        ++count;
    return count;
}
} // namespace

BuildDialog::BuildDialog(HWND owner, std::string cacheFolder, std::string title)
    : fw::Dialog(IDD_BUILD, owner), m_cacheFolder(std::move(cacheFolder)), m_title(std::move(title)),
      m_decodeAheadThreads(std::min(processorsOfThisProcess() - 1, kMaxDecodeAheadThreads)) {
    fw::initCommonControls();
}

BuildDialog::~BuildDialog() {
    // The dialog ended some other way (a quit request): the worker must not outlive its lists.
    if (m_thread) {
        *m_abort = true;
        stopWorker(false);
    }
}

void BuildDialog::scanFolder(std::string folder) {
    FolderWalk walk = walkPictureFolder(searchedFolder(folder), false, std::string(), listFolder);
    m_pending.insert(m_pending.end(), walk.pictures.begin(), walk.pictures.end());
    m_onlineOnlyFiles += walk.onlineOnlyFiles;
}

void BuildDialog::scanTreeFirst(std::string folder, std::string cacheFolder, std::function<bool()> afterScan) {
    m_treeRoot = searchedFolder(folder);
    m_treeCache = fullPathName(cacheFolder);
    m_afterScan = std::move(afterScan);
    m_scanFinished = false;
}

BOOL BuildDialog::OnInitDialog() {
    m_window = hwnd();
    m_progress.attach(item(IDC_BUILD_PROGRESS));
    m_progress.setRange(0, 100);
    m_progress.setPos(0);
    m_thread.reset(CreateThread(nullptr, 0, &BuildDialog::buildWorker, this, 0, nullptr));
    if (!m_thread) {
        // Nothing will run: let the user close the dialog.
        (void)EnableWindow(item(IDOK), TRUE);
        (void)EnableWindow(item(IDCANCEL), TRUE);
    }
    return TRUE;
}

DWORD WINAPI BuildDialog::buildWorker(void* dialog) {
    static_cast<BuildDialog*>(dialog)->runBuild();
    return 0;
}

bool BuildDialog::scanTree() {
    auto visit = [this](const std::string& folder) {
        if (*m_abort)
            return false;
        setStatus(scanningStatus(folder));
        return true;
    };
    FolderWalk walk = walkPictureFolder(m_treeRoot, true, m_treeCache, listFolder, visit);
    // Abort during the last listing stops the run all the same: nothing has been changed yet.
    if (walk.stopped || *m_abort) {
        setStatus(text::kAborted);
        return false;
    }
    m_pending.assign(walk.pictures.begin(), walk.pictures.end());
    m_onlineOnlyFiles = walk.onlineOnlyFiles;
    m_scanFinished = true;
    (void)SendMessageA(m_window, kScanDone, 0, 0);
    return m_convertScanned;
}

void BuildDialog::runBuild() {
    fw::ComApartment com;
    if (!m_treeRoot.empty() && !scanTree()) {
        endRun();
        return;
    }
    const int total = pendingCount();
    const PixelsPerInch pixelsPerInch = screenPixelsPerInch();
    // On the heap: a worker cut off at the time limit never frees it, so helpers still decoding can read it.
    const auto abortSignal = std::make_shared<const AbortSignal>(m_abort);
    const AbortSignal& abort = *abortSignal;
    // Helpers decode the pictures after the worker's own, in the same order; files are written here alone.
    std::unique_ptr<DecodeAhead<PreparedPicture>> ahead;
    if (m_convert && m_decodeAheadThreads > 0 && total > 1) {
        std::vector<std::string> sources(m_pending.begin(), m_pending.end());
        const int targetSize = m_targetSize;
        auto prepare = [sources = std::move(sources), targetSize, pixelsPerInch](std::size_t index,
                                                                                 const imaging::StopSignal& stop) {
            return preparePicture(sources[index], targetSize, pixelsPerInch, &stop);
        };
        ahead = std::make_unique<DecodeAhead<PreparedPicture>>(static_cast<std::size_t>(total), m_decodeAheadThreads,
                                                               picturesAhead(targetSize), std::move(prepare), &abort);
    }
    int processed = 0;
    while (!m_pending.empty()) {
        if (*m_abort) {
            setStatus(text::kAborted);
            break;
        }
        const std::string source = m_pending.front();
        const std::string name = fileNameOf(source);
        m_pending.pop_front();
        const std::string folder = cacheFolderFor(m_cacheFolder, processed, m_picturesPerCacheFolder);
        if (m_convert && folder != m_cacheFolder && processed % m_picturesPerCacheFolder == 0)
            (void)CreateDirectoryA(folder.c_str(), nullptr);
        const std::string output = makeCacheName(source, folder);
        setStatus(m_convert ? convertingStatus(name) : indexingStatus(name));
        PreparedPicture prepared;
        if (ahead)
            prepared = ahead->takeNext();
        const bool converted = convertImage(source, output, ahead ? &prepared : nullptr, pixelsPerInch, abort);
        m_results.push_back(converted && m_convert ? output : source);
        ++processed;
        m_progress.setPos(progressPosition(processed, total));
    }
    // Pictures decoded ahead of an abort are dropped unwritten; the helpers end before the dialog hears of it.
    ahead.reset();
    endRun();
}

void BuildDialog::endRun() {
    (void)SendMessageA(m_window, kBuildDone, 0, 0);
    (void)EnableWindow(GetDlgItem(m_window, IDOK), TRUE);
    (void)EnableWindow(GetDlgItem(m_window, IDCANCEL), TRUE);
    // A completed run closes the dialog as if the user had clicked OK: the button's click notification goes to
    // the dialog, since a BM_CLICK to a dialog that is not active might fail (and activates it).
    if (!*m_abort)
        (void)PostMessageA(m_window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(m_window, IDOK)));
}

bool BuildDialog::convertImage(const std::string& sourcePath, const std::string& outputPath, PreparedPicture* picture,
                               PixelsPerInch pixelsPerInch, const imaging::StopSignal& abort) {
    if (!m_convert) {
        Sleep(kIndexingPause);
        return false;
    }
    PreparedPicture own;
    if (!picture) {
        own = preparePicture(sourcePath, m_targetSize, pixelsPerInch, &abort);
        picture = &own;
    }
    return finishPicture(*picture, sourcePath, outputPath, m_targetSize, pixelsPerInch, m_window, &abort);
}

void BuildDialog::setStatus(const std::string& text) {
    (void)SetDlgItemTextA(m_window, IDC_BUILD_STATUS, text.c_str());
}

bool BuildDialog::waitForWorker(DWORD milliseconds, bool cancellingReads) {
    const DWORD start = GetTickCount();
    HANDLE thread = m_thread.get();
    for (;;) {
        if (cancellingReads)
            fw::cancelBlockingReads();
        // Runs the worker's pending synchronous calls (status, progress, enabling the buttons); posted
        // messages stay queued, so no click is handled while waiting.
        MSG msg;
        (void)PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds)
            return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
        const DWORD slice =
            cancellingReads ? std::min<DWORD>(milliseconds - elapsed, kCancelReadsEvery) : milliseconds - elapsed;
        DWORD result = MsgWaitForMultipleObjects(1, &thread, FALSE, slice, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0)
            return true;
        if (result != WAIT_OBJECT_0 + 1 && result != WAIT_TIMEOUT)
            return false;
    }
}

void BuildDialog::stopWorker(bool reportTimeOut) {
    if (!m_thread)
        return;
    if (!waitForWorker(m_stopWaitLimit, m_abort->load())) {
        // Stopped and cancelled out of a read that hangs, the worker and its helpers end by themselves; cut
        // off, the worker may hold a lock or a half-written file, so that is the last resort.
        *m_abort = true;
        if (!waitForWorker(kEndAfterCancelWait, true)) {
            if (reportTimeOut)
                (void)MessageBoxA(m_window, text::kKillFailed, m_title.c_str(), MB_OK);
            (void)TerminateThread(m_thread.get(), 0);
        }
    }
    m_thread.reset();
}

void BuildDialog::OnOK() {
    // Enter and a command from elsewhere are refused like a click while the worker runs (OK disabled).
    if (m_stopping || !IsWindowEnabled(item(IDOK)))
        return;
    m_stopping = true;
    stopWorker(true);
    m_stopping = false;
    EndDialog(IDOK);
}

void BuildDialog::OnCancel() {
    // Esc and the close box arrive here too: while the worker runs (Cancel still disabled) they are
    // refused rather than cutting a busy worker off.
    if (m_stopping || !IsWindowEnabled(item(IDCANCEL)))
        return;
    m_stopping = true;
    stopWorker(true);
    m_stopping = false;
    (void)SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EndDialog(IDCANCEL);
}

bool BuildDialog::OnCommand(WORD id, WORD notifyCode, HWND) {
    if (id == IDC_BUILD_ABORT && notifyCode == BN_CLICKED) {
        OnAbort();
        return true;
    }
    return false;
}

void BuildDialog::OnAbort() {
    *m_abort = true;
    fw::cancelBlockingReads();
    (void)SetTimer(hwnd(), kCancelReadsTimer, kCancelReadsEvery, cancelReads);
    (void)EnableWindow(item(IDC_BUILD_ABORT), FALSE);
    (void)SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    setStatus(text::kAborting);
}

void BuildDialog::OnBuildDone() {
    (void)KillTimer(hwnd(), kCancelReadsTimer);
    (void)SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// The cursor last set (arrow or wait) stays while the mouse is over the dialog.
bool BuildDialog::OnSetCursor(HWND, UINT, UINT) {
    return true;
}

void BuildDialog::OnScanDone() {
    m_convertScanned = !m_afterScan || m_afterScan();
}

bool BuildDialog::OnAppMessage(UINT message, WPARAM, LPARAM) {
    if (message == kScanDone) {
        OnScanDone();
        return true;
    }
    if (message != kBuildDone)
        return false;
    OnBuildDone();
    return true;
}

} // namespace library
