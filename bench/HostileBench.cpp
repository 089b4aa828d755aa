// Scan and rebuild speed of a crowded picture folder under Wine: 20,000 files of which a handful are
// pictures, against a folder holding only those pictures (the baseline, same run), and the hostile-picture
// folder. The scan is BuildDialog::scanFolder; the rebuild is the whole flow of the settings dialog's OK
// (scan, cache clean-up, build dialog and worker, list written). Prints a table.
#include "framework/ComApartment.h"
#include "library/BuildDialog.h"
#include "library/CacheFolder.h"
#include "library/PictureLibrary.h"
#include "settings/AppContext.h"
#include "tests/support/BareApp.h"
#include "tests/support/Stopwatch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "tools/hostile/HostilePictures.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kCrowdFiles = 20000;
constexpr int kCrowdPictures = 5;
constexpr int kRuns = 5;

std::string makeFolder(const std::string& parent, const std::string& name) {
    const std::string folder = parent + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

// Closes the "Processed N image files" box of this process whenever one shows, until stopped.
class MessageBoxCloser {
public:
    MessageBoxCloser()
        : m_thread([this] {
              while (!m_stop) {
                  if (HWND box = support::findOwnWindow("Prismata"))
                      PostMessageA(box, WM_COMMAND, IDOK, 0);
                  Sleep(2);
              }
          }) {}
    ~MessageBoxCloser() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct Row {
    const char* name;
    std::string folder;
    int files = 0;
    int listed = 0;
    double scanMs = 0;
    double rebuildMs = 0;
};

void measure(Row& row, const std::string& install) {
    std::vector<double> scans;
    for (int i = 0; i < kRuns; ++i) {
        library::BuildDialog build(nullptr, library::cacheFolderOf(install), "Prismata Screen Saver");
        const double start = support::nowMs();
        build.scanFolder(row.folder);
        scans.push_back(support::nowMs() - start);
        row.listed = build.pendingCount();
    }
    row.scanMs = support::median(scans);

    std::vector<double> rebuilds;
    MessageBoxCloser closer;
    for (int i = 0; i < 3; ++i) {
        const double start = support::nowMs();
        settings::AppContext app;
        app.installFolder = install;
        app.cacheFolder = library::cacheFolderOf(install);
        app.title = "Prismata Screen Saver";
        (void)library::rebuildPictureLibrary(nullptr, app, row.folder, "", true);
        rebuilds.push_back(support::nowMs() - start);
    }
    row.rebuildMs = support::median(rebuilds);
    const int count =
        static_cast<int>(GetPrivateProfileIntA("Photos", "Count", -1, (install + "Prismata.ini").c_str()));
    if (count != row.listed)
        std::fprintf(stderr, "bench: %s listed %d of %d pictures\n", row.name, count, row.listed);
}

} // namespace

int main() {
    support::BareApp app;
    fw::ComApartment com;
    const support::TempFolder workFolder("prismata-hostile-bench");
    const std::string& work = workFolder.path();
    const std::string install = makeFolder(work, "install");
    app.setProfileFile(install + "Prismata.ini");

    Row baseline{"only the pictures", makeFolder(work, "pictures")};
    Row crowd{"20,000 files", makeFolder(work, "crowd")};
    Row hostileRow{"hostile pictures", makeFolder(work, "hostile")};
    hostile::writeCrowdedFolder(baseline.folder, kCrowdPictures, kCrowdPictures);
    baseline.files = kCrowdPictures;
    double start = support::nowMs();
    const int failed = hostile::writeCrowdedFolder(crowd.folder, kCrowdFiles, kCrowdPictures);
    const double writeMs = support::nowMs() - start;
    crowd.files = kCrowdFiles;
    const auto entries = hostile::hostilePictures(hostileRow.folder.size());
    hostile::writeEntries(hostileRow.folder, entries);
    hostileRow.files = static_cast<int>(entries.size());
    if (failed)
        std::fprintf(stderr, "bench: %d files could not be written\n", failed);

    for (Row* row : {&baseline, &crowd, &hostileRow})
        measure(*row, install);

    std::printf("\nScan and whole rebuild (median; baseline = a folder holding only the %d pictures)\n\n",
                kCrowdPictures);
    std::printf("| folder | entries | listed | scan ms | scan / baseline | rebuild ms | rebuild / baseline |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const Row* row : {&baseline, &crowd, &hostileRow})
        std::printf("| %s | %d | %d | %.1f | %.1f | %.0f | %.2f |\n", row->name, row->files, row->listed, row->scanMs,
                    baseline.scanMs > 0 ? row->scanMs / baseline.scanMs : 0, row->rebuildMs,
                    baseline.rebuildMs > 0 ? row->rebuildMs / baseline.rebuildMs : 0);
    std::printf("\nWriting the 20,000 files took %.0f ms.\n", writeMs);

    return 0;
}
