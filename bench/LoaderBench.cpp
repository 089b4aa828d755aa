// Our picture loader against the system's (OleLoadPicture, then IPicture::Render with HALFTONE into the
// same display-compatible bitmap), per picture: time and peak memory of a conversion to a 256-pixel cache
// file. Then a whole rebuild of a folder of the same photos. Memory is measured in a fresh child process
// per picture and loader, since a process's peak never comes down.
//
//   prismata_loader_bench make FOLDER     writes the 2, 12 and 24 megapixel test photos into FOLDER
//   prismata_loader_bench run FOLDER      measures every .jpg in FOLDER, then rebuilds FOLDER\rebuild\ .
#include "framework/ComApartment.h"
#include "framework/Handles.h"
#include "framework/WholeFile.h"
#include "library/BmpFile.h"
#include "library/FitGeometry.h"
#include "library/ImageConversion.h"
#include "library/CacheFolder.h"
#include "library/PictureLibrary.h"
#include "settings/AppContext.h"
#include "tests/support/BareApp.h"
#include "tests/support/Files.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/Stopwatch.h"
#include "tests/support/TopWindows.h"

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>
#include <psapi.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr int kTargetSize = 256;

// ---- test photos

// Smooth light with fine grain and a few hard edges, so neither the encoder nor the decoder has it easy.
void writePhoto(const std::string& path, int width, int height) {
    unsigned seed = 12345;
    support::writeBytes(path, support::paintJpeg(width, height, support::cameraJpeg(92), [&](int x, int y) {
                            const double u = double(x) / width, v = double(y) / height;
                            seed = seed * 1103515245u + 12345u;
                            const int grain = static_cast<int>((seed >> 16) % 13) - 6;
                            const bool inDisc = (u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6) < 0.02;
                            const bool inBar = std::fabs(u - 0.7) < 0.05;
                            double r = 120 + 90 * std::sin(6.0 * u + 2.0 * v),
                                   g = 110 + 80 * std::sin(4.0 * v - 3.0 * u), b = 100 + 70 * std::cos(5.0 * (u + v));
                            if (inDisc)
                                r = g = b = 225;
                            else if (inBar)
                                r = g = b = 30;
                            auto channel = [&](double c) {
                                return std::uint32_t(std::clamp(static_cast<int>(c) + grain, 0, 255));
                            };
                            return channel(r) << 16 | channel(g) << 8 | channel(b);
                        }));
}

// ---- the system loader's conversion, as the program did it before it had its own loader

fw::ComPtr<IPicture> systemLoad(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    (void)fw::readWholeFile(path, library::kMaxSourceBytes, bytes);
    fw::GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (!block || bytes.empty())
        return fw::ComPtr<IPicture>();
    std::copy(bytes.begin(), bytes.end(), static_cast<char*>(GlobalLock(block.get())));
    (void)GlobalUnlock(block.get());
    fw::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.receive())))
        return fw::ComPtr<IPicture>();
    (void)block.release();
    fw::ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(picture.receive()))))
        picture.reset();
    return picture;
}

bool systemConvert(const std::string& source, const std::string& output) {
    fw::ComPtr<IPicture> picture = systemLoad(source);
    if (!picture)
        return false;
    fw::MemoryDC memory(CreateCompatibleDC(nullptr));
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    if (!memory || FAILED(picture->get_Width(&hmWidth)) || FAILED(picture->get_Height(&hmHeight)))
        return false;
    auto plan = library::planFit(hmWidth, hmHeight, library::himetricToPixels(hmWidth, 96),
                                 library::himetricToPixels(hmHeight, 96), kTargetSize);
    if (!plan)
        return false;
    fw::Bitmap bitmap;
    {
        fw::WindowDC screen(nullptr);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), plan->bitmapWidth, plan->bitmapHeight));
    }
    if (!bitmap)
        return false;
    {
        fw::SelectObjectScope selected(memory.get(), bitmap.get());
        RECT whole{0, 0, plan->bitmapWidth, plan->bitmapHeight};
        if (plan->letterBox) {
            fw::Brush black(CreateSolidBrush(RGB(0, 0, 0)));
            (void)FillRect(memory.get(), &whole, black.get());
        }
        (void)SetStretchBltMode(memory.get(), HALFTONE);
        (void)SetBrushOrgEx(memory.get(), 0, 0, nullptr);
        if (FAILED(picture->Render(memory.get(), plan->drawX, plan->drawY, plan->drawWidth, plan->drawHeight, 0,
                                   hmHeight, hmWidth, -hmHeight, nullptr)))
            return false;
        if (plan->letterBox) {
            fw::Brush frame(CreateSolidBrush(RGB(64, 64, 64)));
            (void)FrameRect(memory.get(), &whole, frame.get());
        }
    }
    library::BitmapInfoBlock info = library::createBitmapInfo(bitmap.get());
    return info && library::writeBmpFile(output, info.get(), bitmap.get(), memory.get());
}

bool convertWith(const std::string& loader, const std::string& source, const std::string& output) {
    if (loader == "system")
        return systemConvert(source, output);
    return library::convertPicture(source, output, kTargetSize, nullptr);
}

// ---- one loader on one picture, in a process of its own

PROCESS_MEMORY_COUNTERS memoryNow() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    (void)GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Prints "ms peakWorkingSetKB ok" into resultPath.
int measureOne(const std::string& loader, const std::string& source, const std::string& warmUp,
               const std::string& resultPath) {
    fw::ComApartment com;
    const std::string output = resultPath + ".bmp";
    // Load the loader's libraries and first-use state before the baseline.
    (void)convertWith(loader, warmUp, output);
    const PROCESS_MEMORY_COUNTERS before = memoryNow();
    std::vector<double> times;
    bool ok = true;
    const int runs = 3;
    for (int i = 0; i < runs; ++i) {
        const double start = support::nowMs();
        ok = convertWith(loader, source, output) && ok;
        times.push_back(support::nowMs() - start);
    }
    const PROCESS_MEMORY_COUNTERS after = memoryNow();
    (void)DeleteFileA(output.c_str());
    std::ofstream(resultPath) << support::median(times) << " "
                              << (after.PeakWorkingSetSize - before.PeakWorkingSetSize) / 1024 << " " << ok << "\n";
    return 0;
}

struct Measure {
    double ms = 0;
    double peakWorkingSetMb = 0;
    bool ok = false;
};

Measure measureInChild(const std::string& loader, const std::string& source, const std::string& warmUp,
                       const std::string& work) {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    const std::string result = work + "result.txt";
    (void)DeleteFileA(result.c_str());
    std::string command =
        "\"" + std::string(exe) + "\" one " + loader + " \"" + source + "\" \"" + warmUp + "\" \"" + result + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    Measure measure;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return measure;
    fw::KernelHandle processHandle(process.hProcess);
    fw::KernelHandle threadHandle(process.hThread);
    (void)WaitForSingleObject(processHandle.get(), 600000);
    std::ifstream in(result);
    double workingKb = 0;
    int ok = 0;
    if (in >> measure.ms >> workingKb >> ok) {
        measure.peakWorkingSetMb = workingKb / 1024;
        measure.ok = ok != 0;
    }
    return measure;
}

std::vector<std::string> jpegsIn(const std::string& folder) {
    std::vector<std::string> names = support::filesIn(folder, "*.jpg");
    std::sort(names.begin(), names.end());
    return names;
}

struct JpegSize {
    int width = 0, height = 0;
};

JpegSize jpegSize(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    (void)fw::readWholeFile(path, library::kMaxSourceBytes, bytes);
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    JpegSize size;
    if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK)
        size = {static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height)};
    jpeg_destroy_decompress(&cinfo);
    return size;
}

// ---- the whole rebuild

// Whole rebuild time in ms, and the number of pictures listed.
double rebuild(const std::string& install, const std::string& pictures, int& listed) {
    std::thread closer([] {
        const double start = support::nowMs();
        while (support::nowMs() - start < 600000) {
            if (HWND box = support::findOwnWindow("Prismata")) {
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(5);
        }
    });
    fw::ComApartment com;
    const double start = support::nowMs();
    settings::AppContext app;
    app.installFolder = install;
    app.cacheFolder = library::cacheFolderOf(install);
    app.title = "Prismata Screen Saver";
    (void)library::rebuildPictureLibrary(nullptr, app, pictures, "", true);
    const double total = support::nowMs() - start;
    closer.join();
    listed = static_cast<int>(GetPrivateProfileIntA("Photos", "Count", 0, (install + "Prismata.ini").c_str()));
    return total;
}

int run(const std::string& folder) {
    support::BareApp app;
    const std::string work = folder + "work\\";
    const std::string install = work + "install\\";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(install.c_str(), nullptr);
    app.setProfileFile(install + "Prismata.ini");

    const std::string warmUp = work + "warm-up.jpg";
    writePhoto(warmUp, 64, 48);
    std::printf("\nConversion to a %d-pixel cache file, per picture (median of 3; peak memory above the "
                "loader's warmed-up baseline, in a fresh process per cell)\n\n",
                kTargetSize);
    std::printf("| picture | pixels | system ms | ours ms | speed-up | system peak working set MB | "
                "ours peak working set MB |\n|---|---|---|---|---|---|---|\n");
    std::vector<std::pair<JpegSize, std::string>> sources;
    for (const std::string& name : jpegsIn(folder))
        sources.emplace_back(jpegSize(folder + name), name);
    std::stable_sort(sources.begin(), sources.end(), [](const auto& a, const auto& b) {
        return double(a.first.width) * a.first.height < double(b.first.width) * b.first.height;
    });
    for (const auto& [size, name] : sources) {
        const std::string source = folder + name;
        const Measure system = measureInChild("system", source, warmUp, work);
        const Measure ours = measureInChild("ours", source, warmUp, work);
        std::printf("| %s | %dx%d (%.1f MP) | %.0f%s | %.0f%s | %.1fx | %.0f | %.0f |\n", name.c_str(), size.width,
                    size.height, size.width * double(size.height) / 1e6, system.ms, system.ok ? "" : " (failed)",
                    ours.ms, ours.ok ? "" : " (failed)", ours.ms > 0 ? system.ms / ours.ms : 0.0,
                    system.peakWorkingSetMb, ours.peakWorkingSetMb);
        std::fflush(stdout);
    }

    const std::string pictures = folder + "rebuild\\";
    const int count = static_cast<int>(jpegsIn(pictures).size());
    int listed = 0;
    const double total = rebuild(install, pictures, listed);
    std::printf("\nrebuild_pictures=%d rebuild_listed=%d rebuild_ms=%.0f\n", count, listed, total);
    return 0;
}

int make(const std::string& folder) {
    const struct {
        const char* name;
        int width, height;
    } photos[] = {{"2MP.jpg", 1632, 1224}, {"12MP.jpg", 4000, 3000}, {"24MP.jpg", 6000, 4000}};
    for (const auto& photo : photos)
        writePhoto(folder + photo.name, photo.width, photo.height);
    return 0;
}

std::string withBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "make" && argc == 3)
        return make(withBackslash(argv[2]));
    if (mode == "run" && argc == 3)
        return run(withBackslash(argv[2]));
    if (mode == "one" && argc == 6)
        return measureOne(argv[2], argv[3], argv[4], argv[5]);
    std::fprintf(stderr, "usage: prismata_loader_bench make FOLDER | run FOLDER\n");
    return 2;
}
