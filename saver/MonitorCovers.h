// Black, top-most windows over every monitor the show's full-screen window leaves free, so no desktop
// stays in view while the show runs. They never take the activation and hand their mouse input to the
// show's window, which ends the show by its own rules.
#pragma once

#include "framework/Window.h"

#include <memory>
#include <vector>

class MonitorCovers {
public:
    MonitorCovers();
    ~MonitorCovers();
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Covers the monitors as they are now, earlier covers replaced; show owns the covers.
    void cover(HWND show);
    // Takes the covers away until the next cover.
    void remove();
    // Between cover and remove, even when no monitor needed a cover.
    bool active() const { return m_active; }

private:
    class CoverWindow;
    std::vector<std::unique_ptr<CoverWindow>> m_windows;
    bool m_active = false;
};
