#include "config/HelpRoute.h"

#include "config/ConfigTexts.h"

namespace config {

namespace {

// Halibut names each page of the .chm after its section's title and writes no context-number map, so the
// dialogs' contexts are turned into pages here.
struct TopicPage {
    unsigned context;
    const char* page;
};
const TopicPage kTopicPages[] = {
    {kConfigHelpContext, "MainSettings.html"},
    {kAdvancedHelpContext, "AdvancedSettings.html"},
};

} // namespace

HelpViewer helpViewerFor(unsigned long platformId, unsigned long majorVersion) {
    return platformId == kPlatformNt && majorVersion >= 6 ? HelpViewer::HtmlHelp : HelpViewer::WinHelp;
}

HelpRoute helpRoute(unsigned long platformId, unsigned long majorVersion, const std::string& installFolder,
                    unsigned context) {
    HelpRoute route{helpViewerFor(platformId, majorVersion), "", "", context};
    if (route.viewer == HelpViewer::WinHelp) {
        route.file = installFolder + kHelpFileName;
        return route;
    }
    route.file = installFolder + kHtmlHelpFileName;
    route.topic = route.file;
    for (const TopicPage& topic : kTopicPages)
        if (topic.context == context)
            route.topic += std::string("::/") + topic.page;
    return route;
}

} // namespace config
