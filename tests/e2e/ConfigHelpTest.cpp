// Help in both configuration dialogs opens the help viewer at the dialog's own topic of the built
// Prismata.hlp; a screenshot of each viewer is kept.
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The text a window holds, asked by message: a caption read without one is empty for other processes'
// rich edits.
std::string sentText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length) || length == 0)
        return "";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             2000, &copied))
        return "";
    text.resize(copied);
    return text;
}

std::string className(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Every window of the tree below a window, with its class and text, for the failure messages.
std::string describeTree(HWND top) {
    std::string description = className(top) + " \"" + windowText(top) + "\"\n";
    EnumChildWindows(
        top,
        [](HWND child, LPARAM param) -> BOOL {
            auto* out = reinterpret_cast<std::string*>(param);
            *out += "  " + className(child) + " \"" + sentText(child).substr(0, 120) + "\"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&description));
    return description;
}

// The system's help viewers now open.
std::vector<HWND> helpViewers() {
    std::vector<HWND> viewers;
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            if (className(window) == "MS_WINHELP" && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&viewers));
    return viewers;
}

// The title of the topic a viewer shows: the first line of its text pane.
std::string shownTopic(HWND viewer) {
    std::string text;
    EnumChildWindows(
        viewer,
        [](HWND child, LPARAM param) -> BOOL {
            if (className(child).rfind("RichEdit", 0) != 0)
                return TRUE;
            *reinterpret_cast<std::string*>(param) = sentText(child);
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string describeViewers() {
    std::string all;
    for (HWND viewer : helpViewers())
        all += describeTree(viewer);
    return all.empty() ? "no help viewer is open" : all;
}

class ConfigHelp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(helpViewers().empty()) << describeViewers();
        m_session.writeProfile("[Settings]\r\nPicturePath=" + m_pictures.path() + "\r\n");
        std::string help = readTextFile(binFolder() + "Prismata.hlp");
        ASSERT_GT(help.size(), 1000u) << "no Prismata.hlp in " << binFolder();
        writeTextFile(m_session.installFolder() + "Prismata.hlp", help);
    }
    void TearDown() override {
        WinHelpA(nullptr, nullptr, HELP_QUIT, 0);
        EXPECT_TRUE(pumpUntil([] { return helpViewers().empty(); }, kDialogWait)) << describeViewers();
    }

    // Waits for a viewer at the topic, keeps a picture of it and says whether it came.
    bool viewerShows(const std::string& topic, const std::string& screenshot) {
        HWND viewer = nullptr;
        bool shown = pumpUntil(
            [&] {
                for (HWND candidate : helpViewers())
                    if (shownTopic(candidate) == topic)
                        viewer = candidate;
                return viewer != nullptr;
            },
            kDialogWait);
        if (!shown)
            return false;
        // Painted before the picture is taken: the update is sent, and answered, by the viewer's thread.
        RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(responds(viewer));
        EXPECT_TRUE(saveScreenshot(viewer, artifactFolder() + screenshot));
        return true;
    }

    void cancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

    ConfigSession m_session;
    TempFolder m_pictures{"pictures"};
};

TEST_F(ConfigHelp, MainDialogOpensTheMainSettings) {
    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    click(dialog, IDC_CONFIG_HELP);
    EXPECT_TRUE(viewerShows("Main Settings", "HelpMainSettings.bmp")) << describeViewers();
    // The viewer stays beside the dialog, which goes on working.
    EXPECT_TRUE(responds(dialog));
    cancel(dialog);
    EXPECT_TRUE(m_session.endsWithin(kDialogWait));
}

TEST_F(ConfigHelp, AdvancedDialogOpensTheAdvancedSettings) {
    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    click(dialog, IDC_ADVANCED);
    HWND advanced = m_session.waitForWindow("Advanced Settings", "#32770");
    ASSERT_TRUE(advanced);
    // The caution text sends the user to the topic of that name.
    click(advanced, IDC_ADVANCED_HELP);
    EXPECT_TRUE(viewerShows("Advanced Settings", "HelpAdvancedSettings.bmp")) << describeViewers();
    EXPECT_TRUE(responds(advanced));
    cancel(advanced);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(advanced); }, kDialogWait));
    cancel(dialog);
    EXPECT_TRUE(m_session.endsWithin(kDialogWait));
}

} // namespace
