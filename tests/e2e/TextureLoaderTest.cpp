// The face textures end to end: the built-in bitmaps, and the pictures of [Photos] that the loader
// thread puts on the faces of a preview. The pictures are solid fields of distinct colours, so a
// screenshot tells which picture lies on the visible faces. The preview has the desktop as its parent
// (Wine does not show a child of another process's window); with no spin and no drift only face 0 is
// seen, head-on.
#include "tests/e2e/Harness.h"
#include "tests/e2e/SaverKit.h"
#include "tests/e2e/ScreenCapture.h"
#include "framework/Handles.h"
#include "imaging/PictureDecoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include <jpeglib.h>

using namespace e2e;

namespace {

constexpr DWORD kStartWait = 15000;
constexpr DWORD kExitWait = 15000;
constexpr char kStill[] = "SpinX=0\r\nSpinY=0\r\nSpinZ=0\r\nSpeedX=0\r\nSpeedY=0\r\nSpeedZ=0\r\n";
constexpr char kSucceeded[] = "Load texture succeeded";

// Far from each other and from the pastel built-in faces.
constexpr std::uint32_t kPictureColours[] = {0xE61E1E, 0x1EC828, 0x283CE6, 0xF0DC14, 0x14DCDC, 0xDC1EDC, 0xFA8C00};
constexpr std::uint32_t kLavender = 0x9D99DE; // built-in face 0's average colour

bool closeTo(std::uint32_t a, std::uint32_t b, int tolerance = 10) {
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The picture colour the pixel shows, or -1.
int pictureOf(std::uint32_t pixel) {
    for (int i = 0; i < 7; ++i)
        if (closeTo(pixel, kPictureColours[i]))
            return i;
    return -1;
}

// A 24-bit BMP of one colour; its odd shape is scaled to the square texture.
std::string solidBmp(std::uint32_t rgb, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    std::string b(54 + static_cast<size_t>(stride) * height, '\0');
    auto put = [&b](size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(2, std::uint32_t(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(width), 4);
    put(22, std::uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            put(54 + static_cast<size_t>(y) * stride + 3 * x, rgb, 3);
    return b;
}

// A progressive JPEG of noise, as large as a progressive picture may be shown: the slowest picture the
// loader reads (about a second), since every scan runs over all of its coefficients.
bool writeSlowJpeg(const std::string& path, int width, int height) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> line(std::size_t(width) * 3);
    std::uint32_t seed = 12345;
    for (int y = 0; y < height; ++y) {
        for (unsigned char& sample : line) {
            seed = seed * 1664525u + 1013904223u;
            sample = static_cast<unsigned char>(seed >> 24);
        }
        JSAMPROW rows[1] = {line.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

// What the non-black pixels of a screenshot show.
struct FaceColours {
    size_t cube = 0;                // non-black pixels
    size_t counts[7] = {};          // per picture colour
    std::uint64_t sum[3] = {};      // red, green, blue over the cube
    std::set<std::uint32_t> values; // distinct cube pixels, up to a few

    size_t pictures() const {
        size_t all = 0;
        for (size_t c : counts)
            all += c;
        return all;
    }
    std::uint32_t average() const {
        if (!cube)
            return 0;
        return std::uint32_t(sum[0] / cube) << 16 | std::uint32_t(sum[1] / cube) << 8 | std::uint32_t(sum[2] / cube);
    }
};

FaceColours faceColours(const Picture& shot) {
    FaceColours seen;
    for (std::uint32_t p : shot.pixels) {
        if (p == 0)
            continue;
        ++seen.cube;
        seen.sum[0] += (p >> 16) & 0xFF;
        seen.sum[1] += (p >> 8) & 0xFF;
        seen.sum[2] += p & 0xFF;
        if (seen.values.size() < 16)
            seen.values.insert(p);
        int picture = pictureOf(p);
        if (picture >= 0)
            ++seen.counts[picture];
    }
    return seen;
}

std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", v);
    return text;
}

class TextureLoader : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    std::string picturePath(int i) const { return m_install.path() + "picture" + std::to_string(i) + ".bmp"; }

    // Pictures 0 to count-1 in their colours, listed in [Photos] in that order.
    std::string writePictures(int count) {
        std::string photos = "[Photos]\r\nCount=" + std::to_string(count) + "\r\n";
        for (int i = 0; i < count; ++i) {
            writeTextFile(picturePath(i), solidBmp(kPictureColours[i], 24 + 8 * i, 40 - 3 * i));
            photos += "Entry" + std::to_string(i) + "=" + picturePath(i) + "\r\n";
        }
        return photos;
    }

    void writeProfile(const std::string& settings, const std::string& photos) {
        writeTextFile(m_install.path() + "Prismata.ini", "[Settings]\r\n" + settings + photos);
    }

    HWND startPreview() {
        m_prismata = startPrismata("/p " + std::to_string(reinterpret_cast<intptr_t>(GetDesktopWindow())));
        m_window = waitForProcessWindow(m_prismata->id(), "Prismata Preview", kStartWait);
        if (m_window)
            pumpUntil([&] { return IsWindowVisible(m_window) != FALSE; }, kStartWait);
        return m_window;
    }

    Picture capture() const {
        RECT r{};
        GetWindowRect(m_window, &r);
        return captureScreen(r);
    }

    // Polls screenshots until the faces show what the predicate wants; the last one lands in seen.
    bool waitForFaces(const std::function<bool(const FaceColours&)>& wanted, FaceColours& seen, DWORD ms = 3000) {
        return pumpUntil(
            [&] {
                seen = faceColours(capture());
                return wanted(seen);
            },
            ms);
    }

    bool waitForLines(const std::string& line, int count, DWORD ms = kStartWait) {
        return pumpUntil([&] { return countLines(m_logger.text(), line) >= count; }, ms);
    }

    void closeAndExpectExit0() {
        PostMessageA(m_window, WM_CLOSE, 0, 0);
        DWORD code = 1;
        ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
        EXPECT_EQ(code, 0u);
    }

    int count(const std::string& line) const { return countLines(m_logger.text(), line); }

    TempFolder m_install{"textures"};
    InstallEntry m_entry;
    Logger m_logger;
    std::unique_ptr<Process> m_prismata;
    HWND m_window = nullptr;
};

// A face is "showing picture i" when nearly all of the cube is that colour.
auto showing(int picture) {
    return
        [picture](const FaceColours& seen) { return seen.cube > 5000 && seen.counts[picture] > seen.cube * 98 / 100; };
}

TEST_F(TextureLoader, SevenPicturesFillTheFacesInListOrderAndTheSeventhReplacesFaceZero) {
    writeProfile(std::string(kStill) + "TimeBetweenImages=1000\r\n", writePictures(7));
    ASSERT_TRUE(startPreview());
    ASSERT_TRUE(waitForLines(kSucceeded, 6)) << m_logger.text();
    // The first picture went on face 0.
    FaceColours seen;
    EXPECT_TRUE(waitForFaces(showing(0), seen)) << seen.cube << " cube pixels, average " << hex(seen.average());

    // Another instance setting an event of the old shared name must not stop this loader.
    fw::KernelHandle shared(CreateEventA(nullptr, FALSE, FALSE, "KillEvent"));
    ASSERT_TRUE(shared);
    SetEvent(shared.get());

    // One interval later the seventh picture replaces the oldest, on face 0.
    ASSERT_TRUE(waitForLines(kSucceeded, 7, 5000)) << m_logger.text();
    EXPECT_TRUE(waitForFaces(showing(6), seen)) << seen.cube << " cube pixels, average " << hex(seen.average());
    std::vector<std::string> order = {"Entering texture loader thread"};
    for (int i = 0; i < 7; ++i)
        order.push_back("Loading texture " + picturePath(i));
    EXPECT_TRUE(inOrder(m_logger.text(), order)) << m_logger.text();
    EXPECT_EQ(count("Leaving texture loader thread, saw kill event"), 0);

    closeAndExpectExit0();
    const std::string log = m_logger.text();
    // The loader is in its wait: it leaves on the event, before or after the engine looks at it.
    const std::string setKill = "Setting kill event for texture loading thread";
    const std::string cleanup = "Entering DXGraphics::cleanup";
    EXPECT_TRUE(inOrder(log, {setKill, "Leaving texture loader thread, saw kill event", cleanup})) << log;
    const bool waited =
        inOrder(log, {setKill, "Waiting for thread to exit", "Texture loading thread shut down properly", cleanup});
    const bool alreadyGone = inOrder(log, {setKill, "Thread has already terminated, not going to wait", cleanup});
    EXPECT_TRUE(waited || alreadyGone) << log;
    EXPECT_EQ(count("Trouble killing texture loading thread"), 0);
}

// Continued order: the second show goes on after the last picture the first one put on a face, and the
// position it finds in the settings file names the list it belongs to.
TEST_F(TextureLoader, AContinuedShowGoesOnWhereThePreviousPreviewStopped) {
    writeProfile(std::string(kStill) + "TimeBetweenImages=60000\r\nPictureOrder=1\r\n",
                 writePictures(8) + "Stamp=S1\r\n");
    const std::string profile = m_install.path() + "Prismata.ini";
    auto position = [&] {
        char text[128] = "";
        GetPrivateProfileStringA("Show", "Position", "<missing>", text, sizeof text, profile.c_str());
        return std::string(text);
    };
    ASSERT_TRUE(startPreview());
    ASSERT_TRUE(waitForLines(kSucceeded, 6)) << m_logger.text();
    EXPECT_TRUE(inOrder(m_logger.text(), {"Loading texture " + picturePath(0), "Loading texture " + picturePath(5)}));
    closeAndExpectExit0();
    // Pictures still queued when the show ended never reached a face.
    const std::string stored = position();
    ASSERT_EQ(stored.rfind("continue 8 S1 0 0 ", 0), 0u) << stored;
    const int next = std::atoi(stored.c_str() + std::strlen("continue 8 S1 0 0 "));
    ASSERT_TRUE(next >= 1 && next <= 6) << stored;

    const size_t secondShow = m_logger.text().size();
    ASSERT_TRUE(startPreview());
    ASSERT_TRUE(waitForLines(kSucceeded, 12)) << m_logger.text();
    std::vector<std::string> order = {"Entering texture loader thread"};
    for (int i = 0; i < 6; ++i)
        order.push_back("Loading texture " + picturePath((next + i) % 8));
    EXPECT_TRUE(inOrder(m_logger.text().substr(secondShow), order)) << m_logger.text();
    closeAndExpectExit0();
}

TEST_F(TextureLoader, SpinningCubeShowsOnlyPictureColours) {
    writeProfile("SpinX=99\r\nSpinY=-70\r\nSpinZ=40\r\nSpeedX=0\r\nSpeedY=0\r\nSpeedZ=0\r\nTimeBetweenImages=300\r\n",
                 writePictures(6));
    ASSERT_TRUE(startPreview());
    ASSERT_TRUE(waitForLines(kSucceeded, 6)) << m_logger.text();
    // Six pictures: one per face, then the list has ended.
    ASSERT_TRUE(m_logger.waitFor("Leaving texture loader thread, 0 length file name, image <= 6\r\n", 8000))
        << m_logger.text();
    Sleep(100); // the last picture reaches its face on the next frame
    std::set<int> pictures;
    const DWORD start = GetTickCount();
    size_t shots = 0;
    while (GetTickCount() - start < 2000) {
        Picture shot = capture();
        FaceColours seen = faceColours(shot);
        ASSERT_GT(seen.cube, 3000u);
        // Edges between two faces may mix; nothing else is drawn.
        EXPECT_GT(seen.pictures(), seen.cube * 97 / 100) << "average " << hex(seen.average());
        for (int i = 0; i < 6; ++i)
            if (seen.counts[i] > 200)
                pictures.insert(i);
        if (++shots == 3) {
            const std::string folder = binFolder() + "..\\screenshots\\";
            CreateDirectoryA(folder.c_str(), nullptr);
            writePng(folder + "TextureLoader.Spinning.png", shot);
        }
        Sleep(100);
    }
    EXPECT_GE(pictures.size(), 3u);
    EXPECT_EQ(count("Loading small textures"), 1);
    closeAndExpectExit0();
}

TEST_F(TextureLoader, BadPicturesAreTracedAndSkippedAndTheNextOneTakesTheFace) {
    std::string photos = writePictures(7);
    // Entry0 a text file named .jpg, Entry2 missing, Entry4 empty.
    const std::string textAsJpeg = m_install.path() + "notes.jpg";
    writeTextFile(textAsJpeg, "not a picture at all\r\n");
    DeleteFileA(picturePath(2).c_str());
    auto replace = [&photos](const std::string& from, const std::string& to) {
        photos.replace(photos.find(from), from.size(), to);
    };
    replace(picturePath(0), textAsJpeg);
    writeTextFile(picturePath(4), "");
    writeProfile(std::string(kStill) + "TimeBetweenImages=500\r\n", photos);

    ASSERT_TRUE(startPreview());
    // Entry6 comes after one interval: the show went on past every failure.
    ASSERT_TRUE(m_logger.waitFor("Loading texture " + picturePath(6) + "\r\n", kStartWait)) << m_logger.text();
    ASSERT_TRUE(waitForLines(kSucceeded, 4)) << m_logger.text();
    const std::string log = m_logger.text();
    EXPECT_TRUE(inOrder(log, {"Loading texture " + textAsJpeg,
                              "Failed to load texture " + textAsJpeg + ", error = D3DXERR_INVALIDDATA",
                              "Loading texture " + picturePath(1), kSucceeded, "Loading texture " + picturePath(2),
                              "Failed to load texture " + picturePath(2) + ", error = D3DXERR_INVALIDDATA",
                              "Loading texture " + picturePath(3), kSucceeded, "Loading texture " + picturePath(4),
                              "Failed to load texture " + picturePath(4) + ", error = D3DXERR_INVALIDDATA",
                              "Loading texture " + picturePath(5), kSucceeded}))
        << log;
    // The failures do not shift the faces: the first picture that loaded is on face 0.
    FaceColours seen;
    EXPECT_TRUE(waitForFaces(showing(1), seen)) << seen.cube << " cube pixels, average " << hex(seen.average());
    closeAndExpectExit0();
}

TEST_F(TextureLoader, EmptyListKeepsTheBuiltInFacesAndTheLoaderEndsAtOnce) {
    writeProfile(kStill, "");
    ASSERT_TRUE(startPreview());
    ASSERT_TRUE(m_logger.waitFor("Leaving texture loader thread, 0 length file name, image <= 6\r\n", kStartWait))
        << m_logger.text();
    // The small built-in lavender, mottled: many shades averaging the face's colour.
    FaceColours seen;
    bool lavender =
        waitForFaces([](const FaceColours& s) { return s.cube > 5000 && closeTo(s.average(), kLavender, 12); }, seen);
    EXPECT_TRUE(lavender) << seen.cube << " cube pixels, average " << hex(seen.average());
    EXPECT_GT(seen.values.size(), 3u);
    EXPECT_EQ(seen.pictures(), 0u);
    EXPECT_TRUE(inOrder(m_logger.text(), {"Starting Direct3D create routine", "Loading small textures",
                                          "Done loading textures", "Done with Direct3D setup"}))
        << m_logger.text();
    EXPECT_EQ(m_logger.text().find("Attempt to create texture from resource"), std::string::npos);
    EXPECT_EQ(m_logger.text().find("Loading texture "), std::string::npos);

    closeAndExpectExit0();
    EXPECT_TRUE(inOrder(m_logger.text(), {"Setting kill event for texture loading thread",
                                          "Thread has already terminated, not going to wait",
                                          "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup"}))
        << m_logger.text();
}

TEST_F(TextureLoader, FullScreenUsesTheLargeBuiltInFaces) {
    writeProfile(kStill, "");
    m_prismata = startPrismata("/s");
    m_window = waitForProcessWindow(m_prismata->id(), e2e::saver::kSaverTitle, kStartWait);
    ASSERT_TRUE(m_window);
    ASSERT_TRUE(m_logger.waitFor("Done with Direct3D setup\r\n", kStartWait)) << m_logger.text();
    FaceColours seen;
    bool lavender =
        waitForFaces([](const FaceColours& s) { return s.cube > 5000 && closeTo(s.average(), kLavender, 12); }, seen);
    EXPECT_TRUE(lavender) << seen.cube << " cube pixels, average " << hex(seen.average());
    EXPECT_TRUE(inOrder(m_logger.text(), {"Loading full sized textures", "Done loading textures"})) << m_logger.text();
    EXPECT_EQ(count("Loading small textures"), 0);
    PostMessageA(m_window, WM_KEYDOWN, 'A', 0);
    DWORD code = 1;
    ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

TEST_F(TextureLoader, AKeyDuringTheSlowestLoadEndsItAtOnce) {
    const std::string slow = m_install.path() + "slow.jpg";
    ASSERT_TRUE(writeSlowJpeg(slow, 6400, 6000));
    writeProfile(kStill, "[Photos]\r\nCount=1\r\nEntry0=" + slow + "\r\n");
    m_prismata = startPrismata("/t");
    m_window = waitForProcessWindow(m_prismata->id(), e2e::saver::kSaverTitle, kStartWait);
    ASSERT_TRUE(m_window);
    ASSERT_TRUE(m_logger.waitFor("Loading texture " + slow + "\r\n", kStartWait)) << m_logger.text();
    const DWORD keyAt = GetTickCount();
    PostMessageA(m_window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(m_logger.waitFor("Leaving texture loader thread, saw kill event\r\n", kExitWait)) << m_logger.text();
    const DWORD stopping = GetTickCount() - keyAt;
    DWORD code = 1;
    ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    const std::string log = m_logger.text();
    EXPECT_TRUE(inOrder(log, {"Loading texture " + slow, "Setting kill event for texture loading thread",
                              "Leaving texture loader thread, saw kill event"}))
        << log;
    EXPECT_EQ(log.find("Trouble killing texture loading thread"), std::string::npos) << log;

    // The same load run to its end here: the stop must take a small part of it, not wait for it.
    const std::string bytes = readTextFile(slow);
    const DWORD loadStart = GetTickCount();
    imaging::Image texture;
    ASSERT_EQ(imaging::decodePictureToSize(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 256, 256,
                                           texture),
              imaging::ImageError::None);
    const DWORD wholeLoad = GetTickCount() - loadStart;
    std::printf("stopped %lu ms after the key; the whole load takes %lu ms\n", stopping, wholeLoad);
    EXPECT_LT(stopping * 2, wholeLoad) << "stopped after " << stopping << " ms; the whole load takes " << wholeLoad;
}

} // namespace
