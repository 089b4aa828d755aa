// Scan and rebuild speed of a crowded picture folder under Wine: 20,000 files of which a handful are
// pictures, against a folder holding only those pictures (the baseline, same run), and the hostile-picture
// folder. The scan is BuildDialog::scanFolder; the rebuild is the whole flow of the settings dialog's OK
// (scan, cache clean-up, build dialog and worker, list written). Prints a table.
#include "framework/ComApartment.h"
#include "framework/WinApp.h"
#include "library/BuildDialog.h"
#include "library/CacheFolder.h"
#include "library/PictureLibrary.h"
#include "settings/AppContext.h"
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

class BenchApp : public fw::WinApp {
protected:
    bool InitInstance() override { return false; }
};

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

std::string makeFolder(const std::string& parent, const std::string& name) {
    const std::string folder = parent + name + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void removeFolder(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeFolder(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// Closes the "Processed N image files" box of this process whenever one shows, until stopped.
class MessageBoxCloser {
public:
    MessageBoxCloser()
        : m_thread([this] {
              while (!m_stop) {
                  EnumWindows(
                      [](HWND hwnd, LPARAM) -> BOOL {
                          DWORD process = 0;
                          GetWindowThreadProcessId(hwnd, &process);
                          char text[64] = "";
                          GetWindowTextA(hwnd, text, sizeof text);
                          if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) &&
                              lstrcmpA(text, "Prismata") == 0)
                              PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
                          return TRUE;
                      },
                      0);
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
        const double start = nowMs();
        build.scanFolder(row.folder);
        scans.push_back(nowMs() - start);
        row.listed = build.pendingCount();
    }
    row.scanMs = median(scans);

    std::vector<double> rebuilds;
    MessageBoxCloser closer;
    for (int i = 0; i < 3; ++i) {
        const double start = nowMs();
        settings::AppContext app;
        app.installFolder = install;
        app.cacheFolder = library::cacheFolderOf(install);
        app.title = "Prismata Screen Saver";
        (void)library::rebuildPictureLibrary(nullptr, app, row.folder, "", true);
        rebuilds.push_back(nowMs() - start);
    }
    row.rebuildMs = median(rebuilds);
    const int count =
        static_cast<int>(GetPrivateProfileIntA("Photos", "Count", -1, (install + "Prismata.ini").c_str()));
    if (count != row.listed)
        std::fprintf(stderr, "bench: %s listed %d of %d pictures\n", row.name, count, row.listed);
}

} // namespace

int main() {
    BenchApp app;
    fw::ComApartment com;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string work = makeFolder(temp, "prismata-hostile-bench" + std::to_string(GetCurrentProcessId()));
    const std::string install = makeFolder(work, "install");
    app.setProfileFile(install + "Prismata.ini");

    Row baseline{"only the pictures", makeFolder(work, "pictures")};
    Row crowd{"20,000 files", makeFolder(work, "crowd")};
    Row hostileRow{"hostile pictures", makeFolder(work, "hostile")};
    hostile::writeCrowdedFolder(baseline.folder, kCrowdPictures, kCrowdPictures);
    baseline.files = kCrowdPictures;
    double start = nowMs();
    const int failed = hostile::writeCrowdedFolder(crowd.folder, kCrowdFiles, kCrowdPictures);
    const double writeMs = nowMs() - start;
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

    removeFolder(work);
    return 0;
}
