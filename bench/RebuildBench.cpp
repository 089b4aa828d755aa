// A whole picture-library rebuild of a folder of real photos, timed from the start of the settings dialog's OK
// flow to the "Processed" box, on one core and on every core of the process; beside it the bare scaled decode
// of the same files (file read, our decoder to the drawn size) on one thread and spread over the cores, and
// the steps of a one-core conversion summed over the folder.
//
//   prismata_rebuild_bench FOLDER ROUNDS    prints key=value lines for scripts/bench-rebuild.sh
//   prismata_rebuild_bench --scale FOLDER   the scale row: whole rebuilds of 1,000, 4,000 and 16,000 small
//                                           pictures, and the real program's start as a preview up to its first
//                                           picture with 16 and 16,000 list entries (scripts/bench-rebuild-scale.sh)
//   prismata_rebuild_bench --show FOLDER    the show's part alone, on the folder of an earlier --scale run
#include "framework/ComApartment.h"
#include "framework/Handles.h"
#include "framework/WholeFile.h"
#include "library/CacheFolder.h"
#include "library/ImageConversion.h"
#include "library/PictureLibrary.h"
#include "settings/AppContext.h"
#include "settings/SettingsKeys.h"
#include "tests/support/BareApp.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/RegistryValue.h"
#include "tests/support/Stopwatch.h"
#include "tests/support/TopWindows.h"
#include "tests/support/Wait.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<std::string> photosIn(const std::string& folder) {
    std::vector<std::string> paths;
    for (const std::string& name : support::filesIn(folder, "*.jpg"))
        paths.push_back(folder + name);
    std::sort(paths.begin(), paths.end());
    return paths;
}

int processorsOfThisProcess() {
    DWORD_PTR process = 0, system = 0;
    (void)GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
    int count = 0;
    for (; process; process &= process - 1)
        ++count;
    return count;
}

// The bare scaled decode: each file read and decoded to its drawn size, spread over `threads` threads.
double bareDecode(const std::vector<std::string>& photos, int threads, library::PixelsPerInch pixelsPerInch) {
    std::atomic<std::size_t> next{0};
    std::atomic<int> failed{0};
    const double start = support::nowMs();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (std::size_t i = next++; i < photos.size(); i = next++)
                if (!library::preparePicture(photos[i], 256, pixelsPerInch).ok)
                    ++failed;
        });
    for (std::thread& thread : pool)
        thread.join();
    const double ms = support::nowMs() - start;
    if (failed)
        std::printf("bare_decode_failures=%d\n", failed.load());
    return ms;
}

// CPU time of this process (every thread), in ms: the steps are timed in CPU too, since the machine may be shared.
double processCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto ms = [](const FILETIME& t) { return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

struct Step {
    double wall = 0, cpu = 0;
};

// One core, step by step, each over the whole folder: the file read alone, then the conversion's two halves.
struct Steps {
    Step read, prepare, finish;
};

Steps stepsOfOneCore(const std::vector<std::string>& photos, const std::string& work,
                     library::PixelsPerInch pixelsPerInch) {
    fw::ComApartment com;
    Steps steps;
    auto timed = [](Step& step, const auto& body) {
        const double wall = support::nowMs(), cpu = processCpuMs();
        body();
        step.wall = support::nowMs() - wall;
        step.cpu = processCpuMs() - cpu;
    };
    timed(steps.read, [&] {
        for (const std::string& photo : photos) {
            std::vector<std::uint8_t> bytes;
            (void)fw::readWholeFile(photo, library::kMaxSourceBytes, bytes);
        }
    });
    std::vector<library::PreparedPicture> prepared(photos.size());
    timed(steps.prepare, [&] {
        for (std::size_t i = 0; i < photos.size(); ++i)
            prepared[i] = library::preparePicture(photos[i], 256, pixelsPerInch);
    });
    timed(steps.finish, [&] {
        for (std::size_t i = 0; i < photos.size(); ++i)
            (void)library::finishPicture(prepared[i], photos[i], work + "step.bmp", 256, pixelsPerInch, nullptr);
    });
    (void)DeleteFileA((work + "step.bmp").c_str());
    return steps;
}

// The "Processed" box, seen as the rebuild's thread activates it; a hook costs the rebuild nothing, where a
// thread polling for the box would take a core from it.
double g_boxShownAt = 0;

LRESULT CALLBACK acceptProcessedBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char title[64] = "";
        GetWindowTextA(window, title, sizeof title);
        if (std::string(title) == "Prismata" && g_boxShownAt == 0) {
            g_boxShownAt = support::nowMs();
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The converted copies in the cache folder and in its numbered folders.
int cacheFileCount(const std::string& cacheFolder) {
    int count = static_cast<int>(support::filesIn(cacheFolder, "*.bmp").size());
    for (int number = 1; support::fileExists(cacheFolder + std::to_string(number)); ++number)
        count += static_cast<int>(support::filesIn(cacheFolder + std::to_string(number) + "\\", "*.bmp").size());
    return count;
}

// From the start of the OK flow to the "Processed" box; complete when the list and the cache hold every photo.
// cpu: the process's CPU time over the whole flow, every thread.
double rebuild(const std::string& install, const std::string& pictures, int expected, bool& complete, double& cpu) {
    fw::ComApartment com;
    settings::AppContext app;
    app.installFolder = install;
    app.cacheFolder = library::cacheFolderOf(install);
    app.title = "Prismata Screen Saver";
    g_boxShownAt = 0;
    HHOOK hook = SetWindowsHookExA(WH_CBT, acceptProcessedBox, nullptr, GetCurrentThreadId());
    const double start = support::nowMs(), startCpu = processCpuMs();
    (void)library::rebuildPictureLibrary(nullptr, app, pictures, "", true);
    cpu = processCpuMs() - startCpu;
    (void)UnhookWindowsHookEx(hook);
    const int listed =
        static_cast<int>(GetPrivateProfileIntA("Photos", "Count", 0, (install + "Prismata.ini").c_str()));
    complete = g_boxShownAt > 0 && listed == expected && cacheFileCount(app.cacheFolder) == expected;
    return g_boxShownAt - start;
}

int run(const std::string& folder, int rounds) {
    support::BareApp app;
    const std::string work = folder + "work\\";
    const std::string install = work + "install\\";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(install.c_str(), nullptr);
    app.setProfileFile(install + "Prismata.ini");
    const std::vector<std::string> photos = photosIn(folder);
    const int count = static_cast<int>(photos.size());
    const library::PixelsPerInch pixelsPerInch = library::screenPixelsPerInch();
    const int cores = processorsOfThisProcess();
    std::printf("photos=%d cores=%d\n", count, cores);

    // Warm the file cache and the libraries.
    (void)bareDecode(photos, 1, pixelsPerInch);
    const DWORD_PTR all = [] {
        DWORD_PTR process = 0, system = 0;
        (void)GetProcessAffinityMask(GetCurrentProcess(), &process, &system);
        return process;
    }();
    DWORD_PTR one = all & (~all + 1);

    std::vector<double> decode1, decodeAll, rebuild1, rebuildAll, cpu1, cpuAll;
    bool complete = true;
    for (int round = 0; round < rounds; ++round) {
        decode1.push_back(bareDecode(photos, 1, pixelsPerInch));
        decodeAll.push_back(bareDecode(photos, cores, pixelsPerInch));
        bool ok = false;
        // One core: the process may run on one processor only, so the build has no helpers.
        (void)SetProcessAffinityMask(GetCurrentProcess(), one);
        double cpu = 0;
        rebuild1.push_back(rebuild(install, folder, count, ok, cpu));
        cpu1.push_back(cpu);
        (void)SetProcessAffinityMask(GetCurrentProcess(), all);
        complete = complete && ok;
        rebuildAll.push_back(rebuild(install, folder, count, ok, cpu));
        cpuAll.push_back(cpu);
        complete = complete && ok;
    }
    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    std::printf("bare_decode_1_ms=%.0f bare_decode_1_median_ms=%.0f\n", best(decode1), support::median(decode1));
    std::printf("bare_decode_all_ms=%.0f bare_decode_all_median_ms=%.0f\n", best(decodeAll),
                support::median(decodeAll));
    std::printf("rebuild_1_ms=%.0f rebuild_1_median_ms=%.0f\n", best(rebuild1), support::median(rebuild1));
    std::printf("rebuild_all_ms=%.0f rebuild_all_median_ms=%.0f\n", best(rebuildAll), support::median(rebuildAll));
    std::printf("rebuild_1_cpu_ms=%.0f rebuild_all_cpu_ms=%.0f\n", best(cpu1), best(cpuAll));
    std::printf("rebuild_complete=%d\n", complete ? 1 : 0);

    const Steps steps = stepsOfOneCore(photos, work, pixelsPerInch);
    std::printf("step_read_ms=%.0f step_read_cpu_ms=%.0f\n", steps.read.wall, steps.read.cpu);
    std::printf("step_prepare_ms=%.0f step_prepare_cpu_ms=%.0f\n", steps.prepare.wall, steps.prepare.cpu);
    std::printf("step_finish_ms=%.0f step_finish_cpu_ms=%.0f\n", steps.finish.wall, steps.finish.cpu);

    // The fixed part of a rebuild: the same flow over a folder without pictures.
    const std::string empty = work + "empty\\";
    CreateDirectoryA(empty.c_str(), nullptr);
    std::vector<double> fixed;
    for (int round = 0; round < rounds; ++round) {
        bool ok = false;
        double cpu = 0;
        fixed.push_back(rebuild(install, empty, 0, ok, cpu));
    }
    std::printf("rebuild_empty_ms=%.0f\n", best(fixed));
    return complete ? 0 : 1;
}

// The show's start as a user meets it: the real program started as a preview, up to the first picture the loader
// hands to the frames ("Load texture succeeded", one frame before that picture is on face 0). The bench itself is
// the logger window the program sends its trace lines to.
constexpr char kFirstPictureLine[] = "Load texture succeeded";
constexpr char kLoaderLine[] = "Entering texture loader thread";
double g_firstPictureAt = 0;
double g_loaderAt = 0;

LRESULT CALLBACK loggerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const char* line = static_cast<const char*>(data->lpData);
        if (g_loaderAt == 0 && line && data->cbData && std::strstr(line, kLoaderLine))
            g_loaderAt = support::nowMs();
        if (g_firstPictureAt == 0 && line && data->cbData && std::strstr(line, kFirstPictureLine))
            g_firstPictureAt = support::nowMs();
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createLoggerWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = loggerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PrismataBenchLogger";
    (void)RegisterClassA(&windowClass);
    return CreateWindowA("PrismataBenchLogger", "Prismata Debug Logger", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::string binFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of('\\') + 1);
}

// The settings file as a show finds it: written long before. (Wine's profile functions read a file written in the
// last two seconds anew at every call, which a show started at once after a write would pay.)
void ageFile(const std::string& path) {
    fw::FileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{};
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    time.QuadPart -= 3600ull * 10000000ull;
    FILETIME hourAgo{time.LowPart, time.HighPart};
    (void)SetFileTime(file.get(), nullptr, nullptr, &hourAgo);
}

struct ShowStart {
    double loader = 0;  // to the loader thread's start
    double picture = 0; // to the first picture
};

ShowStart startToFirstPicture(const std::string& install, bool& ok) {
    support::RegistryValue installFolder(HKEY_LOCAL_MACHINE,
                                         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismata_is1",
                                         "Inno Setup: App Path");
    installFolder.setString(install);
    ageFile(install + "Prismata.ini");
    g_firstPictureAt = g_loaderAt = 0;
    const double start = support::nowMs();
    support::Process show("\"" + binFolder() + "Prismata.scr\" /p " +
                          std::to_string(reinterpret_cast<std::intptr_t>(GetDesktopWindow())));
    ok = show.started() && support::pumpUntil([] { return g_firstPictureAt != 0; }, 60000);
    const ShowStart times{g_loaderAt - start, g_firstPictureAt - start};
    // The closing program still traces to this window, which must go on answering.
    DWORD code = 0;
    if (HWND preview = support::waitForProcessWindow(show.id(), "Prismata Preview", 5000))
        (void)PostMessageA(preview, WM_CLOSE, 0, 0);
    ok = support::pumpUntil([&] { return show.waitForExit(0, code); }, 20000) && ok;
    return times;
}

// The show's start with the longest list, as the rebuild wrote it, and with its first 16 entries, in each order.
// The two lists take turns, so that a machine whose load changes weighs on both alike.
bool runShowStarts(const std::string& folder, support::BareApp& app) {
    const settings::ProfileStore profile;
    const HWND logger = createLoggerWindow();
    const std::string longList = folder + "scale16000\\install\\";
    const std::string shortList = folder + "show16\\";
    CreateDirectoryA(shortList.c_str(), nullptr);
    app.setProfileFile(longList + "Prismata.ini");
    std::vector<fw::ProfileKey> first16{{keys::kCount, "16"}, {keys::kStamp, "S"}};
    for (int i = 0; i < 16; ++i) {
        const std::string key = "Entry" + std::to_string(i);
        first16.push_back({key, profile.readString(keys::kPhotos, key.c_str())});
    }
    const int longCount = profile.readInt(keys::kPhotos, keys::kCount, 0);
    app.setProfileFile(shortList + "Prismata.ini");
    (void)profile.replaceKeys(keys::kPhotos, first16);
    bool complete = longCount > 16;
    for (int mode = 0; mode < 3; ++mode) {
        for (const std::string& install : {shortList, longList}) {
            app.setProfileFile(install + "Prismata.ini");
            // Still, so that only the list differs; the loader's first six pictures come 1 ms apart.
            for (const char* key :
                 {keys::kSpinX, keys::kSpinY, keys::kSpinZ, keys::kSpeedX, keys::kSpeedY, keys::kSpeedZ})
                (void)profile.writeInt(keys::kSettings, key, 0);
            (void)profile.writeInt(keys::kSettings, keys::kPictureOrder, mode);
        }
        std::vector<double> loader[2], picture[2];
        for (int round = 0; round < 7; ++round) {
            for (int list = 0; list < 2; ++list) {
                bool ok = false;
                const ShowStart times = startToFirstPicture(list ? longList : shortList, ok);
                loader[list].push_back(times.loader);
                picture[list].push_back(times.picture);
                complete = complete && ok;
            }
        }
        for (int list = 0; list < 2; ++list)
            std::printf("first_picture_%d_order%d_ms=%.0f loader_start_%d_order%d_ms=%.0f\n", list ? longCount : 16,
                        mode, support::median(picture[list]), list ? longCount : 16, mode,
                        support::median(loader[list]));
        std::fflush(stdout);
    }
    (void)DestroyWindow(logger);
    return complete;
}

int runScale(const std::string& folder) {
    support::BareApp app;
    fw::ComApartment com;
    const settings::ProfileStore profile;
    bool complete = true;
    const std::vector<unsigned char> picture =
        support::bmp24(16, 12, [](int x, int y) { return std::uint32_t(x * 16) << 16 | std::uint32_t(y * 20); });
    for (int count : {1000, 4000, 16000}) {
        const std::string work = folder + "scale" + std::to_string(count) + "\\";
        const std::string pictures = work + "pictures\\";
        const std::string install = work + "install\\";
        CreateDirectoryA(work.c_str(), nullptr);
        CreateDirectoryA(pictures.c_str(), nullptr);
        CreateDirectoryA(install.c_str(), nullptr);
        for (int i = 0; i < count; ++i)
            support::writeBytes(pictures + "p" + std::to_string(i) + ".bmp", picture);
        app.setProfileFile(install + "Prismata.ini");
        // Small cached bitmaps: the list, not the pixels, is what grows here.
        (void)profile.writeInt(keys::kConversionParms, keys::kTargetBmpSize, 32);
        bool ok = false;
        double cpu = 0;
        const double ms = rebuild(install, pictures, count, ok, cpu);
        complete = complete && ok;
        std::printf("scale_%d_ms=%.0f scale_%d_us_per_picture=%.0f scale_%d_complete=%d\n", count, ms, count,
                    ms * 1000.0 / count, count, ok ? 1 : 0);
        std::fflush(stdout);
    }
    complete = runShowStarts(folder, app) && complete;
    return complete ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && (std::string(argv[1]) == "--scale" || std::string(argv[1]) == "--show")) {
        std::string folder = argv[2];
        if (!folder.empty() && folder.back() != '\\')
            folder += '\\';
        if (std::string(argv[1]) == "--show") {
            support::BareApp app;
            return runShowStarts(folder, app) ? 0 : 1;
        }
        return runScale(folder);
    }
    if (argc == 3) {
        std::string folder = argv[1];
        if (!folder.empty() && folder.back() != '\\')
            folder += '\\';
        return run(folder, std::max(1, std::atoi(argv[2])));
    }
    std::fprintf(stderr, "usage: prismata_rebuild_bench FOLDER ROUNDS\n");
    return 2;
}
