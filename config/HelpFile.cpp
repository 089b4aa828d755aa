#include "config/HelpFile.h"

#include "framework/Handles.h"

#include <memory>

namespace config {

namespace {

struct HelpRequest {
    HWND owner;
    std::string file;
    unsigned context;
};

// The viewer answers the request synchronously and, for a file it cannot read, only after the user has
// dismissed its own error box: asked from here, the dialog keeps working meanwhile.
DWORD WINAPI helpThread(void* parameter) {
    std::unique_ptr<HelpRequest> request(static_cast<HelpRequest*>(parameter));
    // The result is not examined: without a viewer there is simply no help.
    (void)WinHelpA(request->owner, request->file.c_str(), HELP_CONTEXT, request->context);
    return 0;
}

} // namespace

void openHelp(HWND owner, const std::string& helpFile, unsigned context) {
    DWORD attributes = GetFileAttributesA(helpFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    auto request = std::make_unique<HelpRequest>(HelpRequest{owner, helpFile, context});
    fw::KernelHandle thread(CreateThread(nullptr, 0, helpThread, request.get(), 0, nullptr));
    if (thread)
        (void)request.release(); // the thread owns it now
}

} // namespace config
