// Which help viewer the Help buttons use, and what they hand it, by system version. No window code: the
// choice is tested natively.
#pragma once

#include <string>

namespace config {

enum class HelpViewer { WinHelp, HtmlHelp };

// GetVersionEx's platform ids.
inline constexpr unsigned long kPlatformWin32s = 0;
inline constexpr unsigned long kPlatformWindows9x = 1;
inline constexpr unsigned long kPlatformNt = 2;

// WinHelp up to NT 5.x and on the 9x family; HTML Help from NT 6.0 (Vista) on, which ships no WinHelp viewer.
HelpViewer helpViewerFor(unsigned long platformId, unsigned long majorVersion);

// One Help button's request.
struct HelpRoute {
    HelpViewer viewer;
    std::string file;  // the help file that viewer reads, in the install folder
    std::string topic; // HTML Help: the file with the topic's page ("...\Prismata.chm::/Page.html")
    unsigned context;  // WinHelp: the context number
};

// The install folder ends with a backslash. A context without a page of its own opens the .chm at its
// first page.
HelpRoute helpRoute(unsigned long platformId, unsigned long majorVersion, const std::string& installFolder,
                    unsigned context);

} // namespace config
