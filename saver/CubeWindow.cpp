#include "saver/CubeWindow.h"

#include "framework/Trace.h"
#include "engine/DXGraphics.h"
#include "engine/EngineTexts.h"
#include "framework/Handles.h"
#include "settings/ShowSettings.h"

#include <cstring>
#include <utility>

namespace {
constexpr int kAppIcon = 128;
constexpr UINT kFrameDelay = 20;
constexpr UINT kFrameResolution = 5;
constexpr UINT_PTR kWindowTimerId = 101;
// Posted from the timer thread: the chain of wParam ended because its next tick could not be armed.
constexpr UINT kFrameTimerFailed = WM_APP + 101;
// Posted from a tick: the device is lost and waits to be restored.
constexpr UINT kRestoreDevice = WM_APP + 102;
constexpr COLORREF kFailureTextColour = RGB(0, 255, 255);
constexpr COLORREF kFailureBackColour = RGB(0, 0, 0);
} // namespace

CubeWindow::CubeWindow(bool autoDelete, settings::ProfileStore profile, FrameTimer::Calls timerCalls,
                       engine::DeviceCalls deviceCalls)
    : m_autoDelete(autoDelete), m_profile(profile), m_frameTimer(kFrameDelay, kFrameResolution, timerCalls),
      m_deviceCalls(deviceCalls) {}

CubeWindow::~CubeWindow() {
    dropEngine();
}

bool CubeWindow::Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent, UINT_PTR id) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAppIcon));
    std::string windowClass =
        registerWindowClass(CS_HREDRAW | CS_VREDRAW, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), icon);
    bool made = CreateEx(exStyle, windowClass, title, style, rect, parent, id);
    m_exStyle = exStyle;
    if (made)
        startEngine(exStyle);
    // The window may be destroyed while the device is set up (its parent in another process going
    // away): the object then stayed alive for us, and the caller, told so, still owns it.
    return made && !m_destroyedWhileStarting;
}

void CubeWindow::PostNcDestroy() {
    if (m_startingEngine) {
        m_destroyedWhileStarting = true;
        return;
    }
    if (m_autoDelete)
        delete this;
}

void CubeWindow::OnDestroy() {
    // The device goes while its window still exists.
    dropEngine();
    fw::Window::OnDestroy();
}

void CubeWindow::startEngine(DWORD exStyle) {
    dropEngine();
    auto engine = std::make_unique<DXGraphics>();
    RECT client{};
    (void)GetClientRect(hwnd(), &client);
    engine->setWindow(hwnd(), (exStyle & WS_EX_TOPMOST) == 0, client.right - client.left, client.bottom - client.top);

    const settings::ShowSettings show = settings::readShowSettings(m_profile);
    engine->setMotion(motion::motionFromSettings(show.motion));
    engine->setLowResolution(show.lowScreenResolution);
    engine->setProfile(m_profile);
    engine->setDeviceCalls(m_deviceCalls);

    // Set up before the window owns it: Direct3D calls can deliver sent messages, and a destruction
    // handled meanwhile must neither free this engine under its set-up nor this window under us.
    m_startingEngine = true;
    setUpEngine(*engine);
    m_startingEngine = false;
    if (m_destroyedWhileStarting || !hwnd())
        return;
    m_engine = std::move(engine);
    m_startTick = GetTickCount();
    m_frameCount = 0;
    m_restorePosted = false;
    armFrameTimer();
}

void CubeWindow::setUpEngine(DXGraphics& engine) {
    engine.setupDirect3D();
}

void CubeWindow::dropEngine() {
    stopFrameTimer();
    m_engine.reset();
}

void CubeWindow::armFrameTimer() {
    const unsigned chain = ++m_chainNumber;
    const HWND window = hwnd();
    if (m_frameTimer.start([this] { return frameStep(); },
                           [window, chain] { (void)PostMessageA(window, kFrameTimerFailed, chain, 0); }))
        return;
    // No multimedia timer: a window timer ticks on this thread instead.
    startWindowTimer();
}

void CubeWindow::startWindowTimer() {
    m_windowTimerRunning = SetTimer(hwnd(), kWindowTimerId, kFrameDelay, nullptr) != 0;
}

void CubeWindow::OnFrameTimerFailed(unsigned chain) {
    if (chain != m_chainNumber || !m_engine || m_windowTimerRunning)
        return;
    Trace("The multimedia timer could not be armed again, going on with the Windows timer\n");
    // The ended chain is let go before the window timer takes over its ticks.
    m_frameTimer.stop();
    startWindowTimer();
}

void CubeWindow::OnRestoreDevice() {
    m_restorePosted = false;
    if (m_engine)
        (void)m_engine->restoreDevice();
}

LRESULT CubeWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kFrameTimerFailed) {
        OnFrameTimerFailed(static_cast<unsigned>(wParam));
        return 0;
    }
    if (message == kRestoreDevice) {
        OnRestoreDevice();
        return 0;
    }
    return fw::Window::WindowProc(message, wParam, lParam);
}

void CubeWindow::stopFrameTimer() {
    // A failed re-arm reported before this stop is not for the next chain.
    ++m_chainNumber;
    if (m_windowTimerRunning) {
        (void)KillTimer(hwnd(), kWindowTimerId);
        m_windowTimerRunning = false;
    }
    m_frameTimer.stop();
}

bool CubeWindow::frameStep() {
    if (m_pauseState.load() == PauseRequested) {
        Trace("Acking pause\n");
        m_pauseState.store(PauseAcknowledged);
        return true;
    }
    if (m_pauseState.load() == PauseAcknowledged || !m_engine || !m_engine->isAlive())
        return false;
    if (m_engine->deviceLost()) {
        // Skipped until the window thread has the device back; asked again each tick until then.
        if (!m_restorePosted.exchange(true))
            (void)PostMessageA(hwnd(), kRestoreDevice, 0, 0);
        return true;
    }
    int frames = ++m_frameCount;
    if (frames % 100 == 0) {
        DWORD elapsed = GetTickCount() - m_startTick;
        double rate = elapsed ? static_cast<double>(frames) / static_cast<double>(elapsed) * 1000.0 : 0.0;
        Trace("%f frames per second\n", rate);
    }
    m_engine->renderFrame();
    return true;
}

void CubeWindow::OnTimer(UINT_PTR id) {
    if (id != kWindowTimerId || !m_windowTimerRunning) {
        fw::Window::OnTimer(id);
        return;
    }
    if (!frameStep()) {
        Trace("Killing Windows Timer!\n");
        (void)KillTimer(hwnd(), id);
        Trace("Done killing Windows Timer\n");
        m_windowTimerRunning = false;
    }
}

void CubeWindow::OnPaint() {
    fw::PaintDC paint(hwnd());
    // Nothing of ours while the engine draws, or while there is none (during the password check).
    if (m_engine && !m_engine->isAlive())
        paintFailure(paint.get());
}

void CubeWindow::paintFailure(HDC dc) {
    const char* text = engine::kNoPreviewText;
    if (!m_engine->isWindowed())
        text = m_engine->errorMessage() ? m_engine->errorMessage() : engine::kNoDisplayConfigText;
    int length = static_cast<int>(std::strlen(text));

    fw::Font font(CreateFontA(0, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, nullptr));
    fw::SelectObjectScope select(dc, font.get());
    (void)SetTextColor(dc, kFailureTextColour);
    (void)SetBkColor(dc, kFailureBackColour);
    SIZE extent{};
    (void)GetTextExtentPoint32A(dc, text, length, &extent);
    RECT client{};
    (void)GetClientRect(hwnd(), &client);
    // Centred, a third of the way down, wrapped when wider than the window.
    RECT box{0, (client.bottom - extent.cy) / 3, client.right, client.bottom};
    (void)DrawTextA(dc, text, length, &box, DT_CENTER | DT_WORDBREAK);
}
