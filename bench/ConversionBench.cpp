// Picture conversion speed under Wine: per picture for 2, 12 and 24 megapixel JPEGs against the bare
// decode of the same file, and a whole rebuild of a 200-picture folder with the dialog's responsiveness
// (message round trips to the dialog while the worker converts) and the time an Abort takes to land.
// Prints a table; all times come from this one run.
#include "framework/ComApartment.h"
#include "framework/Handles.h"
#include "framework/WholeFile.h"
#include "framework/WinApp.h"
#include "library/ImageConversion.h"
#include "library/CacheFolder.h"
#include "library/PictureLibrary.h"
#include "settings/AppContext.h"
#include "tests/support/BareApp.h"
#include "tests/support/Files.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/Stopwatch.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"

#include <windows.h>

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kTargetSize = 256;
constexpr int kFolderPictures = 200;
constexpr char kBuildTitle[] = "Building Image Folder";

// A photograph-like JPEG: smooth gradients with fine noise, so it neither compresses to nothing nor
// decodes unusually fast.
size_t writePhotoJpeg(const std::string& path, int width, int height) {
    unsigned seed = 12345;
    const support::Bytes jpeg = support::paintJpeg(width, height, support::cameraJpeg(88), [&](int x, int y) {
        seed = seed * 1103515245u + 12345u;
        const int noise = static_cast<int>((seed >> 16) & 15) - 8;
        auto channel = [&](int c) { return std::uint32_t(std::clamp(c + noise, 0, 255)); };
        return channel(x * 255 / width) << 16 | channel(y * 255 / height) << 8 | channel((x + y) & 255);
    });
    support::writeBytes(path, jpeg);
    return jpeg.size();
}

// The baseline: read the file and let the system picture loader decode it, nothing else.
bool loadOnly(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    (void)fw::readWholeFile(path, library::kMaxSourceBytes, bytes);
    fw::GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!block)
        return false;
    std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(GlobalLock(block.get())));
    (void)GlobalUnlock(block.get());
    fw::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.receive())))
        return false;
    (void)block.release(); // the stream's now
    fw::ComPtr<IPicture> picture;
    return SUCCEEDED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                    reinterpret_cast<void**>(picture.receive())));
}

struct SizeRow {
    const char* name;
    int width, height;
    size_t bytes = 0;
    double loadMs = 0, convertMs = 0;
};

struct RebuildRow {
    double totalMs = 0;
    int listed = 0;
    std::vector<double> roundTrips;
    int progressSteps = 0;
    double abortMs = -1;
};

void measureSizes(std::vector<SizeRow>& rows, const std::string& work) {
    fw::ComApartment com;
    for (SizeRow& row : rows) {
        const std::string source = work + row.name + ".jpg";
        row.bytes = writePhotoJpeg(source, row.width, row.height);
        const int runs = row.width * row.height > 4000000 ? 3 : 7;
        (void)loadOnly(source); // warm the file cache and the loader
        std::vector<double> loads, converts;
        for (int i = 0; i < runs; ++i) {
            double start = support::nowMs();
            if (!loadOnly(source))
                std::fprintf(stderr, "bench: %s did not load\n", row.name);
            loads.push_back(support::nowMs() - start);
            start = support::nowMs();
            if (!library::convertPicture(source, work + "out.bmp", kTargetSize, nullptr))
                std::fprintf(stderr, "bench: %s did not convert\n", row.name);
            converts.push_back(support::nowMs() - start);
        }
        row.loadMs = support::median(loads);
        row.convertMs = support::median(converts);
    }
}

// One rebuild of the folder; the monitor either watches the dialog to the end or aborts it after a
// second and cancels.
RebuildRow rebuildFolder(const std::string& install, const std::string& pictures, bool abortAfterASecond) {
    RebuildRow row;
    std::thread monitor([&] {
        HWND build = support::waitForOwnWindow(kBuildTitle, 20000);
        if (!build)
            return;
        HWND progress = GetDlgItem(build, 1021);
        LRESULT lastPos = -1;
        const double opened = support::nowMs();
        while (IsWindow(build)) {
            if (abortAfterASecond && support::nowMs() - opened >= 1000) {
                const double clicked = support::nowMs();
                PostMessageA(GetDlgItem(build, 3), BM_CLICK, 0, 0);
                while (IsWindow(build) && !IsWindowEnabled(GetDlgItem(build, IDCANCEL)))
                    Sleep(1);
                row.abortMs = support::nowMs() - clicked;
                PostMessageA(GetDlgItem(build, IDCANCEL), BM_CLICK, 0, 0);
                return;
            }
            DWORD_PTR pos = 0;
            const double sent = support::nowMs();
            if (SendMessageTimeoutA(progress, PBM_GETPOS, 0, 0, SMTO_NORMAL, 5000, &pos))
                row.roundTrips.push_back(support::nowMs() - sent);
            if (static_cast<LRESULT>(pos) != lastPos) {
                lastPos = static_cast<LRESULT>(pos);
                ++row.progressSteps;
            }
            Sleep(20);
        }
        if (HWND box = support::waitForOwnWindow("Prismata", 20000))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    const double start = support::nowMs();
    settings::AppContext app;
    app.installFolder = install;
    app.cacheFolder = library::cacheFolderOf(install);
    app.title = "Prismata Screen Saver";
    (void)library::rebuildPictureLibrary(nullptr, app, pictures, "", true);
    row.totalMs = support::nowMs() - start;
    monitor.join();
    row.listed = static_cast<int>(GetPrivateProfileIntA("Photos", "Count", 0, (install + "Prismata.ini").c_str()));
    return row;
}

} // namespace

int main() {
    support::BareApp app;
    const support::TempFolder workFolder("prismata-bench");
    const std::string& work = workFolder.path();
    const std::string install = work + "install\\";
    const std::string pictures = work + "pictures\\";
    CreateDirectoryA(install.c_str(), nullptr);
    CreateDirectoryA(pictures.c_str(), nullptr);
    app.setProfileFile(install + "Prismata.ini");

    std::vector<SizeRow> sizes = {{"2 MP", 1632, 1224}, {"12 MP", 4000, 3000}, {"24 MP", 6000, 4000}};
    measureSizes(sizes, work);

    // The folder: 200 copies of the 2-megapixel picture, each a file of its own.
    const std::string sample = work + "2 MP.jpg";
    for (int i = 0; i < kFolderPictures; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%03d.jpg", i);
        CopyFileA(sample.c_str(), (pictures + name).c_str(), FALSE);
    }
    RebuildRow full;
    RebuildRow aborted;
    {
        fw::ComApartment com;
        full = rebuildFolder(install, pictures, false);
        aborted = rebuildFolder(install, pictures, true);
    }

    std::printf("\nConversion to a %d-pixel cached bitmap (median per picture; baseline = file read + decode)\n\n",
                kTargetSize);
    std::printf("| picture | pixels | file KB | decode ms (baseline) | convert ms | convert / decode |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const SizeRow& row : sizes)
        std::printf("| %s JPEG | %dx%d | %zu | %.1f | %.1f | %.2f |\n", row.name, row.width, row.height,
                    row.bytes / 1024, row.loadMs, row.convertMs, row.loadMs > 0 ? row.convertMs / row.loadMs : 0);

    const double perPicture = sizes[0].convertMs;
    std::printf("\nRebuild of a %d-picture folder of 2 MP JPEGs (dialog, worker, cache clean-up, list)\n\n",
                kFolderPictures);
    std::printf("| measure | value |\n|---|---|\n");
    std::printf("| pictures listed | %d |\n", full.listed);
    std::printf("| whole rebuild | %.0f ms |\n", full.totalMs);
    std::printf("| per picture | %.1f ms |\n", full.totalMs / kFolderPictures);
    std::printf("| rebuild / (%d x single conversion) | %.2f |\n", kFolderPictures,
                perPicture > 0 ? full.totalMs / (kFolderPictures * perPicture) : 0);
    std::printf("| dialog round trips sampled | %zu |\n", full.roundTrips.size());
    std::printf("| dialog round trip median / max | %.2f / %.2f ms |\n", support::median(full.roundTrips),
                full.roundTrips.empty() ? 0 : *std::max_element(full.roundTrips.begin(), full.roundTrips.end()));
    std::printf("| progress changes seen | %d |\n", full.progressSteps);
    std::printf("| Abort click to Cancel enabled | %.0f ms |\n", aborted.abortMs);
    std::printf("| pictures listed after Abort + Cancel | %d |\n", aborted.listed);

    return 0;
}
