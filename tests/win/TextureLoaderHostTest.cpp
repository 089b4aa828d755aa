// The loader thread's side of the engine on a real Direct3D 8 device: what a picture load appends and
// traces, hostile texture sizes, the kill event that stops every further append, and a show that closes
// while its loader hangs in a read (one the system can cancel, and one it cannot).
#include "engine/TextureLoader.h"

#include "framework/WholeFile.h"
#include "saver/SaverWindow.h"
#include "tests/support/BareApp.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/DeviceTest.h"
#include "tests/support/HungRead.h"
#include "tests/support/TraceLog.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace support;

// Keeps the traces instead of sending them to a logger.
class RecordingHost : public loader::TextureLoaderHost {
public:
    using TextureLoaderHost::TextureLoaderHost;
    void trace(const std::string& line) override { traces.push_back(line); }
    std::vector<std::string> traces;
};

class LoaderHostTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        if (HasFatalFailure())
            return;
        m_shared = sharedWith(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        m_picture = write("picture.bmp", solidBmp(0x3366CC, 24, 40));
    }
    static Bytes solidBmp(std::uint32_t rgb, int width, int height) {
        BmpFields fields;
        fields.width = width;
        fields.height = height;
        fields.pixels = packRows(
            24, std::vector<std::vector<std::uint32_t>>(height, std::vector<std::uint32_t>(width, rgb)), false);
        return makeBmp(fields);
    }

    // A frame taking the front texture a little later.
    static DWORD WINAPI takeOneLater(LPVOID self) {
        auto* test = static_cast<LoaderHostTest*>(self);
        Sleep(40);
        fw::ScopedLock lock(test->m_shared->lock);
        test->m_shared->queue.pop_front();
        return 0;
    }

    // What an engine shares with its loader: the device, an empty queue and that kill event.
    static std::shared_ptr<loader::LoaderShared> sharedWith(HANDLE killEvent) {
        auto shared = std::make_shared<loader::LoaderShared>();
        device()->AddRef();
        shared->device.reset(device());
        shared->killEvent.reset(killEvent);
        return shared;
    }

    std::string m_picture;
    std::shared_ptr<loader::LoaderShared> m_shared;
};

TEST_F(LoaderHostTest, EachPictureIsAppendedOrTracedAsAFailure) {
    const std::string textAsJpeg = write("notes.jpg", Bytes{'h', 'e', 'l', 'l', 'o', '\r', '\n'});
    const std::string empty = write("empty.bmp", Bytes{});
    const std::string missing = m_folder.path() + "missing.bmp";
    D3DCAPS8 caps{};
    ASSERT_EQ(device()->GetDeviceCaps(&caps), D3D_OK);
    const int largest = int(std::min<DWORD>(4096, std::min(caps.MaxTextureWidth, caps.MaxTextureHeight)));
    const int largestLevels = [&] {
        int levels = 1;
        for (int side = largest; side > 1; side /= 2)
            ++levels;
        return levels;
    }();
    const struct {
        int textureSize;
        std::string path;
        const char* error; // null: the load succeeds
        int side = 0;      // of the texture made, when not textureSize
        int levels = 0;
    } cases[] = {
        {64, m_picture, nullptr, 64, 7},
        {256, m_picture, nullptr, 256, 9},
        // Beyond the device: clamped to its largest side.
        {100000, m_picture, nullptr, largest, largestLevels},
        {INT_MAX, m_picture, nullptr, largest, largestLevels},
        // TextureSize 0 or negative (-1 must not turn into D3DX_DEFAULT).
        {0, m_picture, "D3DERR_INVALIDCALL"},
        {-1, m_picture, "D3DERR_INVALIDCALL"},
        {-300, m_picture, "D3DERR_INVALIDCALL"},
        {64, textAsJpeg, "D3DXERR_INVALIDDATA"},
        {64, empty, "D3DXERR_INVALIDDATA"},
        {64, missing, "D3DXERR_INVALIDDATA"},
    };
    for (const auto& c : cases) {
        m_shared->queue.clear();
        RecordingHost host(m_shared, c.textureSize);
        host.loadPicture(c.path);
        const std::string label = c.path + " at " + std::to_string(c.textureSize);
        ASSERT_EQ(host.traces.size(), 1u) << label;
        if (c.error) {
            EXPECT_EQ(host.traces[0], "Failed to load texture " + c.path + ", error = " + c.error + "\n") << label;
            EXPECT_TRUE(m_shared->queue.empty()) << label;
            continue;
        }
        EXPECT_EQ(host.traces[0], "Load texture succeeded\n") << label;
        ASSERT_EQ(m_shared->queue.size(), 1u) << label;
        EXPECT_EQ(host.pendingCount(), 1u);
        // Square at TextureSize whatever the picture's shape, with the full chain.
        D3DSURFACE_DESC desc{};
        ASSERT_TRUE(SUCCEEDED(m_shared->queue.front()->GetLevelDesc(0, &desc)));
        EXPECT_EQ(desc.Width, UINT(c.side)) << label;
        EXPECT_EQ(desc.Height, UINT(c.side)) << label;
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(m_shared->queue.front()->GetLevelCount(), UINT(c.levels)) << label;
    }
}

// Fast loads fill the queue while the frames take one texture per frame: that is no reason to skip a
// picture. Only a queue that stays full (frames paused) counts as full.
TEST_F(LoaderHostTest, FullQueueCountsAsFullOnlyWhenNothingIsTaken) {
    RecordingHost host(m_shared, 64);
    for (int i = 0; i < 4; ++i)
        host.loadPicture(m_picture);
    ASSERT_EQ(m_shared->queue.size(), 4u);

    // A frame takes one a little later.
    fw::KernelHandle frame(CreateThread(nullptr, 0, takeOneLater, this, 0, nullptr));
    EXPECT_EQ(host.pendingCount(), 3u);
    WaitForSingleObject(frame.get(), 5000);

    // Paused frames: still full after the grace time.
    host.loadPicture(m_picture);
    DWORD start = GetTickCount();
    EXPECT_EQ(host.pendingCount(), 4u);
    EXPECT_GE(GetTickCount() - start, 450u);

    // The kill event cuts the grace time short, and the next wait reports it.
    SetEvent(m_shared->killEvent.get());
    start = GetTickCount();
    EXPECT_EQ(host.pendingCount(), 4u);
    EXPECT_LT(GetTickCount() - start, 450u);
    EXPECT_EQ(host.waitForKill(5000), loader::WaitResult::Killed);
}

TEST_F(LoaderHostTest, OnceTheKillEventIsSetNothingIsAppendedAndEveryWaitEnds) {
    RecordingHost host(m_shared, 64);
    EXPECT_EQ(host.waitForKill(1), loader::WaitResult::TimedOut);
    host.loadPicture(m_picture);
    ASSERT_EQ(m_shared->queue.size(), 1u);

    // The engine sets the event while the picture is being made.
    SetEvent(m_shared->killEvent.get());
    host.loadPicture(m_picture);
    EXPECT_EQ(m_shared->queue.size(), 1u);
    EXPECT_EQ(host.traces, (std::vector<std::string>{"Load texture succeeded\n"}));
    // The check took the auto-reset signal; the loader still leaves at its next wait, at once.
    const DWORD start = GetTickCount();
    EXPECT_EQ(host.waitForKill(5000), loader::WaitResult::Killed);
    EXPECT_LT(GetTickCount() - start, 1000u);
    host.loadPicture(m_picture);
    EXPECT_EQ(m_shared->queue.size(), 1u);

    // Without an event there is nothing to wait on: the loader leaves instead of spinning.
    RecordingHost orphan(sharedWith(nullptr), 64);
    EXPECT_EQ(orphan.waitForKill(1), loader::WaitResult::Failed);
}

// A read that returns only when the test lets it, as from a network share that stopped answering.
class BlockedRead {
public:
    BlockedRead() { fw::setReadChunkForTests(read); }
    ~BlockedRead() {
        fw::setReadChunkForTests(nullptr);
        SetEvent(s_release.get());
    }
    static bool waitUntilBlocked() { return WaitForSingleObject(s_blocked.get(), 15000) == WAIT_OBJECT_0; }
    static bool returned() { return s_returned.load(); }
    static void release() { SetEvent(s_release.get()); }
    // The thread that was blocked in the read.
    static HANDLE reader() { return s_reader.get(); }

private:
    static bool read(void* file, void* into, std::uint32_t bytes, std::uint32_t& got) {
        HANDLE self = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, SYNCHRONIZE, FALSE, 0);
        s_reader.reset(self);
        SetEvent(s_blocked.get());
        // Bounded, so that a stop that waits for the read still lets the test end.
        WaitForSingleObject(s_release.get(), 30000);
        s_returned = true;
        DWORD read = 0;
        const bool ok = ReadFile(file, into, bytes, &read, nullptr) != FALSE;
        got = read;
        return ok;
    }

    static inline fw::KernelHandle s_blocked{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    static inline fw::KernelHandle s_release{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    static inline fw::KernelHandle s_reader;
    static inline std::atomic<bool> s_returned{false};
};

// The engine waits its bound for the loader and then releases everything of its own; the loader keeps
// what it uses and ends by itself once its read returns.
TEST_F(LoaderHostTest, AShowWhoseLoaderHangsInAReadStillClosesAndTheLoaderEndsLater) {
    librarytest::TraceRecorder& recorder = librarytest::TraceRecorder::instance();
    support::BareApp app;
    const std::string profile = m_folder.path() + "Prismata.ini";
    app.setProfileFile(profile);
    ASSERT_TRUE(settings::ProfileStore().writeInt("Photos", "Count", 1));
    ASSERT_TRUE(settings::ProfileStore().writeString("Photos", "Entry0", m_picture.c_str()));

    BlockedRead blocked;
    auto* window = new SaverWindow(true);
    ASSERT_TRUE(window->createTestWindow("Prismata Screen Saver"));
    const HWND hwnd = window->hwnd();
    ASSERT_TRUE(BlockedRead::waitUntilBlocked()) << recorder.text();

    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    bool quit = false;
    for (DWORD start = GetTickCount(); IsWindow(hwnd) && GetTickCount() - start < 60000;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            quit |= msg.message == WM_QUIT;
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    ASSERT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(quit) << "the message loop was not told to end";
    EXPECT_FALSE(BlockedRead::returned()) << "the close waited for the read";
    std::string log = recorder.text();
    EXPECT_TRUE(inOrder(log, {"Loading texture " + m_picture, "Setting kill event for texture loading thread",
                              "Waiting for thread to exit", "Trouble killing texture loading thread",
                              "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup"}))
        << log;

    // The read returns: the loader sees the kill event, appends nothing and ends.
    BlockedRead::release();
    ASSERT_EQ(WaitForSingleObject(BlockedRead::reader(), 15000), WAIT_OBJECT_0) << recorder.text();
    log = recorder.text();
    EXPECT_TRUE(inOrder(log, {"Leaving DXGraphics::cleanup", "Leaving texture loader thread, saw kill event"})) << log;
    EXPECT_EQ(countLines(log, "Load texture succeeded"), 0) << log;
}

// A test-mode show whose frames can be counted.
class ShowProbe : public SaverWindow {
public:
    ShowProbe() : SaverWindow(true) {}
    int frames() const { return m_frameCount.load(); }
};

// The show ends while its loader hangs in a read: the read is cancelled, so the window and the message loop
// end at once, and the loader lets go of its device before the engine releases its own.
TEST_F(LoaderHostTest, AShowWhoseLoaderHangsInAReadIsGoneWithinASecondOfTheKey) {
    librarytest::TraceRecorder& recorder = librarytest::TraceRecorder::instance();
    recorder.clear();
    support::BareApp app;
    app.setProfileFile(m_folder.path() + "Prismata.ini");
    ASSERT_TRUE(settings::ProfileStore().writeInt("Photos", "Count", 1));
    ASSERT_TRUE(settings::ProfileStore().writeString("Photos", "Entry0", m_picture.c_str()));

    support::HungRead hung;
    auto* window = new ShowProbe;
    ASSERT_TRUE(window->createTestWindow("Prismata Screen Saver"));
    const HWND hwnd = window->hwnd();
    ASSERT_TRUE(support::HungRead::waitUntilBlocked(15000)) << recorder.text();
    // The show is under way (its first frames can take long to draw while the device warms up).
    const DWORD began = GetTickCount();
    while (window->frames() < 5 && GetTickCount() - began < 10000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(5);
    }
    ASSERT_GE(window->frames(), 5);

    const DWORD key = GetTickCount();
    PostMessageA(hwnd, WM_KEYDOWN, 'A', 0);
    bool quit = false;
    while (!quit && GetTickCount() - key < 15000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            quit |= msg.message == WM_QUIT;
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    const DWORD took = GetTickCount() - key;
    EXPECT_TRUE(quit) << "the message loop was not told to end";
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_LT(took, 1000u) << "the close waited for the read";
    EXPECT_TRUE(support::HungRead::cancelled()) << "the read was not cancelled";
    const std::string log = recorder.text();
    EXPECT_TRUE(inOrder(log, {"Loading texture " + m_picture, "Setting kill event for texture loading thread",
                              "Leaving texture loader thread, saw kill event",
                              "Texture loading thread shut down properly", "Entering DXGraphics::cleanup"}))
        << log;
    EXPECT_EQ(countLines(log, "Trouble killing texture loading thread"), 0) << log;
    // Cut short by the stop: not reported as the picture's failure.
    EXPECT_EQ(log.find("Failed to load texture"), std::string::npos) << log;
}

} // namespace
