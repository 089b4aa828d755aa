#include "library/LibraryTitle.h"

#include "framework/WinApp.h"
#include "resources/resource.h"

namespace library {

std::string appTitle() {
    fw::WinApp* app = fw::WinApp::current();
    if (app && !app->title().empty())
        return app->title();
    return fw::loadResourceString(IDS_APP_TITLE);
}

} // namespace library
