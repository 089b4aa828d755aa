#include "saver/MonitorCovers.h"

#include "framework/Trace.h"
#include "saver/CoverLayout.h"

namespace {

constexpr DWORD kCoverExStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;

cover::Area areaOf(const RECT& rect) {
    return cover::Area{rect.left, rect.top, rect.right, rect.bottom};
}

// With a per-monitor DPI-aware manifest the rectangles are the monitors' real pixels.
BOOL CALLBACK collectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    reinterpret_cast<std::vector<cover::Area>*>(data)->push_back(areaOf(*rect));
    return TRUE;
}

std::vector<cover::Area> currentMonitors() {
    std::vector<cover::Area> monitors;
    (void)EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

} // namespace

class MonitorCovers::CoverWindow : public fw::Window {
public:
    CoverWindow(HWND show, const cover::Area& area) : m_show(show), m_area(area) {}

    bool create() {
        std::string windowClass =
            registerWindowClass(0, nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
        RECT rect{m_area.left, m_area.top, m_area.right, m_area.bottom};
        // Made hidden and shown without activation: the show's window must keep it.
        if (!CreateEx(kCoverExStyle, windowClass, "", WS_POPUP, rect, m_show, 0))
            return false;
        place(SWP_SHOWWINDOW);
        return true;
    }

protected:
    BOOL OnSetCursor(HWND, UINT, UINT) override {
        SetCursor(nullptr);
        return TRUE;
    }
    int OnMouseActivate(HWND, UINT, UINT) override { return MA_NOACTIVATE; }
    void OnMouseMove(UINT flags, POINT point) override { forward(WM_MOUSEMOVE, flags, point); }
    void OnLButtonDown(UINT flags, POINT point) override { forward(WM_LBUTTONDOWN, flags, point); }
    void OnMButtonDown(UINT flags, POINT point) override { forward(WM_MBUTTONDOWN, flags, point); }
    void OnRButtonDown(UINT flags, POINT point) override { forward(WM_RBUTTONDOWN, flags, point); }
    // Moved onto a monitor of another scale, the system suggests a scaled size: a cover keeps its pixels.
    void OnDpiChanged(UINT, const RECT&) override { place(0); }

private:
    void place(UINT flags) {
        (void)SetWindowPos(hwnd(), HWND_TOPMOST, m_area.left, m_area.top, m_area.right - m_area.left,
                           m_area.bottom - m_area.top, flags | SWP_NOACTIVATE);
    }

    // The show's window judges the input by the cursor's screen position, as over itself.
    void forward(UINT message, UINT flags, POINT point) {
        (void)MapWindowPoints(hwnd(), m_show, &point, 1);
        (void)SendMessageA(m_show, message, flags,
                           MAKELPARAM(static_cast<short>(point.x), static_cast<short>(point.y)));
    }

    HWND m_show;
    cover::Area m_area;
};

MonitorCovers::MonitorCovers() = default;

MonitorCovers::~MonitorCovers() = default;

void MonitorCovers::cover(HWND show) {
    // The earlier covers go once the new ones are in place, so no monitor shows through meanwhile.
    std::vector<std::unique_ptr<CoverWindow>> earlier = std::move(m_windows);
    m_windows.clear();
    m_active = true;
    RECT showRect{};
    if (!GetWindowRect(show, &showRect))
        return;
    const std::vector<cover::Area> monitors = currentMonitors();
    const std::vector<cover::Area> areas = cover::coverAreas(areaOf(showRect), monitors);
    for (const cover::Area& area : areas) {
        auto window = std::make_unique<CoverWindow>(show, area);
        if (window->create())
            m_windows.push_back(std::move(window));
        else
            Trace("Could not cover %s\n", cover::describeAreas({area}).c_str());
    }
    // Once they are in place; a change back to one monitor is named too.
    if (!areas.empty() || !earlier.empty())
        Trace("Covering %d other monitor(s): %s\n", cover::coveredMonitorCount(areaOf(showRect), monitors),
              areas.empty() ? "none" : cover::describeAreas(areas).c_str());
}

void MonitorCovers::remove() {
    m_active = false;
    m_windows.clear();
}
