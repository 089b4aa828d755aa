#include "framework/Trace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An in-process logger window that keeps every message it receives.
class CapturingLogger {
public:
    CapturingLogger() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &CapturingLogger::proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TraceTestLogger";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Prismata Debug Logger", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CapturingLogger() { DestroyWindow(m_hwnd); }

    struct Received {
        ULONG_PTR dwData;
        DWORD cbData;
        std::string bytes;
    };
    std::vector<Received> received;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<CapturingLogger*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
            self->received.push_back(
                {data->dwData, data->cbData, std::string(static_cast<char*>(data->lpData), data->cbData)});
            return TRUE;
        }
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    HWND m_hwnd;
};

void send(trace::TraceChannel& channel, const char* format, ...) {
    va_list args;
    va_start(args, format);
    channel.send(format, args);
    va_end(args);
}

TEST(Trace, SendsTheLineWithCarriageReturnAndItsZero) {
    CapturingLogger logger;
    trace::TraceChannel channel;
    send(channel, "Setting initial mouse position\n");
    ASSERT_EQ(logger.received.size(), 1u);
    EXPECT_EQ(logger.received[0].dwData, 0u);
    EXPECT_EQ(logger.received[0].cbData, 33u);
    EXPECT_EQ(logger.received[0].bytes, std::string("Setting initial mouse position\r\n\0", 33));
}

TEST(Trace, FormatsArgumentsAndCutsLongText) {
    CapturingLogger logger;
    trace::TraceChannel channel;
    send(channel, "%s %d %x\n", "Screen", -1, 0x8876086Au);
    std::string line(599, 'q');
    send(channel, "%s\n", line.c_str());
    ASSERT_EQ(logger.received.size(), 2u);
    EXPECT_EQ(logger.received[0].bytes, std::string("Screen -1 8876086a\r\n\0", 21));
    // 600 characters in, 511 out: the line feed was the 600th and is gone.
    EXPECT_EQ(logger.received[1].cbData, 512u);
    EXPECT_EQ(logger.received[1].bytes, std::string(511, 'q') + '\0');
}

TEST(Trace, LooksForTheLoggerOnlyOnce) {
    trace::TraceChannel channel;
    send(channel, "before any logger\n");
    CapturingLogger lateLogger;
    send(channel, "after the logger started\n");
    EXPECT_TRUE(lateLogger.received.empty());
}

TEST(Trace, KeepsSendingToTheLoggerFoundFirst) {
    auto logger = std::make_unique<CapturingLogger>();
    trace::TraceChannel channel;
    send(channel, "one\n");
    ASSERT_EQ(logger->received.size(), 1u);
    logger.reset();
    // The window is gone: the send fails quietly.
    send(channel, "two\n");
    SUCCEED();
}

} // namespace
