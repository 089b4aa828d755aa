// Help in both configuration dialogs opens the dialog's own topic with the viewer the system has: WinHelp
// (Prismata.hlp) where Windows still ships it, HTML Help (Prismata.chm) from Vista on. Wine plays the system
// version per program. A help file that is missing or unreadable is reported in a message box.
#include "config/ConfigTexts.h"
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
    support::forEachChildWindow(top, [&](HWND child) {
        description += "  " + className(child) + " \"" + sentText(child).substr(0, 120) + "\"\n";
        return true;
    });
    return description;
}

// WinHelp's viewer, and HTML Help's (Wine's hhctrl names its frame so).
constexpr char kWinHelpClass[] = "MS_WINHELP";
constexpr char kHtmlHelpClass[] = "HH Parent";

// The help viewers of either kind now open.
std::vector<HWND> helpViewers() {
    std::vector<HWND> viewers;
    support::forEachTopWindow([&](HWND window) {
        std::string name = className(window);
        if ((name == kWinHelpClass || name == kHtmlHelpClass) && IsWindowVisible(window))
            viewers.push_back(window);
        return true;
    });
    return viewers;
}

std::string describeViewers() {
    std::string all;
    for (HWND viewer : helpViewers())
        all += describeTree(viewer);
    return all.empty() ? "no help viewer is open" : all;
}

// The title of the topic a WinHelp viewer shows: the first line of its text pane.
std::string winHelpTopic(HWND viewer) {
    std::string text;
    support::forEachChildWindow(viewer, [&](HWND child) {
        if (className(child).rfind("RichEdit", 0) != 0)
            return true;
        text = sentText(child);
        return false;
    });
    return text.substr(0, text.find_first_of("\r\n"));
}

HWND findChild(HWND parent, const char* wantedClass) {
    HWND found = nullptr;
    support::forEachChildWindow(parent, [&](HWND child) {
        if (className(child) != wantedClass)
            return true;
        found = child;
        return false;
    });
    return found;
}

// The top-level entry of a tree view in another process whose text is the title; null when none is.
HTREEITEM treeEntry(DWORD processId, HWND tree, const std::string& title) {
    const size_t textChars = 256;
    RemoteBuffer remote(processId, sizeof(TVITEMW) + textChars * sizeof(wchar_t));
    if (!remote.address())
        return nullptr;
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); item;
         item = reinterpret_cast<HTREEITEM>(
             SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        TVITEMW entry{};
        entry.mask = TVIF_TEXT;
        entry.hItem = item;
        entry.pszText = reinterpret_cast<wchar_t*>(remote.address() + sizeof(TVITEMW));
        entry.cchTextMax = textChars;
        remote.write(0, &entry, sizeof entry);
        if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address())))
            continue;
        wchar_t text[textChars] = L"";
        remote.read(sizeof(TVITEMW), text, sizeof text);
        text[textChars - 1] = L'\0';
        char narrow[textChars * 3] = "";
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        if (title == narrow)
            return item;
    }
    return nullptr;
}

// The addresses Wine's HTML Help viewer was sent to, in order, from its debug channel's lines
// `...:trace:htmlhelp:navigate_url L"mk:@MSITStore:...::/Page.html"`.
std::vector<std::string> viewerAddresses(const std::string& log) {
    std::vector<std::string> addresses;
    const std::string mark = ":navigate_url ";
    for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
        size_t start = at + mark.size();
        addresses.push_back(log.substr(start, log.find('\n', start) - start));
    }
    return addresses;
}

enum class Dialog { Main, Advanced };
enum class HelpFile { Built, Missing, Unreadable };

struct HelpCase {
    const char* system;  // Wine's version for Prismata.scr
    Dialog dialog;       // whose Help button is pressed
    HelpFile file;       // what the install folder holds of the file the system's viewer reads
    const char* topic;   // the topic shown, or null when a message box is due
    const char* message; // the message box's text, %s the file
    const char* screenshot;
};

constexpr char kAppTitle[] = "Prismata Screen Saver";

// One press of a Help button in a fresh Prismata, on the case's system, with the case's help file.
class HelpRun {
public:
    explicit HelpRun(const HelpCase& c) : m_case(c) {}

    void run() {
        AppDefault system("Prismata.scr", "", "Version", m_case.system);
        m_session.writeProfile("[Settings]\r\nPicturePath=" + m_pictures.path() + "\r\n");
        ASSERT_NO_FATAL_FAILURE(installHelp());
        HWND dialog = m_session.openWithWineDebug("-all,+htmlhelp", m_wineLog);
        ASSERT_TRUE(dialog);
        HWND helpOwner = dialog;
        if (m_case.dialog == Dialog::Advanced) {
            click(dialog, IDC_ADVANCED);
            helpOwner = m_session.waitForWindow("Advanced Settings", "#32770");
            ASSERT_TRUE(helpOwner);
        }
        click(helpOwner, m_case.dialog == Dialog::Main ? IDC_CONFIG_HELP : IDC_ADVANCED_HELP);

        if (m_case.topic) {
            HWND viewer = winHelp() ? waitForWinHelp(m_case.topic) : waitForHtmlHelp(m_case.topic);
            ASSERT_TRUE(viewer) << describeViewers();
            // Painted before the picture is taken: the update is sent, and answered, by the viewer's thread.
            RedrawWindow(viewer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            EXPECT_TRUE(responds(viewer));
            EXPECT_TRUE(saveScreenshot(viewer, artifactFolder() + m_case.screenshot));
        } else {
            EXPECT_TRUE(reported(m_case.message));
            EXPECT_TRUE(helpViewers().empty()) << describeViewers();
        }
        // The dialog goes on working beside the viewer or after the message.
        EXPECT_TRUE(responds(helpOwner));
        if (helpOwner != dialog) {
            cancel(helpOwner);
            ASSERT_TRUE(pumpUntil([&] { return !IsWindow(helpOwner); }, kDialogWait));
        }
        cancel(dialog);
        // Also after the viewer's library is unloaded.
        EXPECT_TRUE(m_session.endsWithin(kDialogWait));
    }

private:
    bool winHelp() const { return std::string(m_case.system) == "winxp"; }
    std::string helpFileName() const { return winHelp() ? "Prismata.hlp" : "Prismata.chm"; }
    std::string helpFile() const { return m_session.installFolder() + helpFileName(); }
    std::string log() const { return readTextFile(m_wineLog); }

    // Both help files as the build made them, then the case's change to the one its viewer reads.
    void installHelp() {
        for (const char* name : {"Prismata.hlp", "Prismata.chm"}) {
            std::string built = readTextFile(binFolder() + name);
            ASSERT_GT(built.size(), 1000u) << "no " << name << " in " << binFolder();
            writeTextFile(m_session.installFolder() + name, built);
        }
        if (m_case.file == HelpFile::Missing)
            ASSERT_TRUE(DeleteFileA(helpFile().c_str()));
        if (m_case.file == HelpFile::Unreadable)
            writeTextFile(helpFile(), "not a help file");
    }

    // A WinHelp viewer at the topic, or null.
    HWND waitForWinHelp(const std::string& topic) {
        HWND viewer = nullptr;
        pumpUntil(
            [&] {
                for (HWND candidate : helpViewers())
                    if (className(candidate) == kWinHelpClass && winHelpTopic(candidate) == topic)
                        viewer = candidate;
                return viewer != nullptr;
            },
            kDialogWait);
        return viewer;
    }

    // Wine's HTML Help viewer in Prismata's process, when it was sent to the page its own contents list under
    // the topic's title: the test picks that entry in the viewer and compares where each sent it. Wine draws
    // no page (it has no HTML engine here), so the addresses are read from its debug channel.
    HWND waitForHtmlHelp(const std::string& topic) {
        HWND viewer = nullptr;
        bool opened = pumpUntil(
            [&] {
                viewer = findProcessWindow(m_session.processId(), "Prismata Screen Saver Help", kHtmlHelpClass);
                return viewer && !viewerAddresses(log()).empty();
            },
            kDialogWait);
        EXPECT_TRUE(opened) << log();
        if (!opened)
            return nullptr;
        std::string asked = viewerAddresses(log()).front();
        HWND contents = findChild(viewer, "SysTreeView32");
        HTREEITEM entry = contents ? treeEntry(m_session.processId(), contents, topic) : nullptr;
        EXPECT_TRUE(entry) << "no contents entry \"" << topic << "\"\n" << describeTree(viewer);
        if (!entry)
            return nullptr;
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutW(contents, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(entry),
                                        SMTO_ABORTIFHUNG, 5000, &result));
        std::vector<std::string> addresses;
        EXPECT_TRUE(pumpUntil([&] { return (addresses = viewerAddresses(log())).size() >= 2; }, kDialogWait)) << log();
        if (addresses.size() < 2)
            return nullptr;
        EXPECT_NE(asked.find(helpFileName() + "::/"), std::string::npos) << asked;
        EXPECT_EQ(asked, addresses[1]) << "asked for " << asked << ", \"" << topic << "\" is " << addresses[1];
        return asked == addresses[1] ? viewer : nullptr;
    }

    // The box of the message with the help file's path, answered with OK; false when none came.
    bool reported(const std::string& message) {
        HWND box = m_session.waitForWindow(kAppTitle, "#32770");
        if (!box)
            return false;
        std::string expected(message);
        expected.replace(expected.find("%s"), 2, helpFile());
        bool found = false;
        std::string shown;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            shown += windowText(child) + "|";
            found |= windowText(child) == expected;
        }
        EXPECT_TRUE(found) << shown;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(pumpUntil([&] { return !IsWindow(box); }, kDialogWait));
        return found;
    }

    static void cancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }

    const HelpCase& m_case;
    ConfigSession m_session;
    TempFolder m_pictures{"pictures"};
    TempFolder m_logFolder{"wine-log"};
    std::string m_wineLog = m_logFolder.path() + "wine.log";
};

void runCases(const std::vector<HelpCase>& cases) {
    ASSERT_TRUE(helpViewers().empty()) << describeViewers();
    for (const HelpCase& c : cases) {
        SCOPED_TRACE(std::string(c.system) + (c.dialog == Dialog::Main ? " main dialog" : " advanced dialog") +
                     (c.file == HelpFile::Built     ? ""
                      : c.file == HelpFile::Missing ? ", no file"
                                                    : ", bad file"));
        HelpRun(c).run();
        // The WinHelp viewer is a program of its own, which outlives Prismata; HTML Help's went with it.
        WinHelpA(nullptr, nullptr, HELP_QUIT, 0);
        EXPECT_TRUE(pumpUntil([] { return helpViewers().empty(); }, kDialogWait)) << describeViewers();
    }
}

// Windows XP: WinHelp at contexts 4 and 5, each the topic of the dialog's name.
TEST(ConfigHelp, WinHelpOpensEachDialogsTopic) {
    runCases({
        {"winxp", Dialog::Main, HelpFile::Built, "Main Settings", nullptr, "HelpMainSettings.bmp"},
        {"winxp", Dialog::Advanced, HelpFile::Built, "Advanced Settings", nullptr, "HelpAdvancedSettings.bmp"},
    });
}

// Windows 10: no WinHelp; HTML Help at the same topics.
TEST(ConfigHelp, HtmlHelpOpensEachDialogsTopic) {
    runCases({
        {"win10", Dialog::Main, HelpFile::Built, "Main Settings", nullptr, "HtmlHelpMainSettings.bmp"},
        {"win10", Dialog::Advanced, HelpFile::Built, "Advanced Settings", nullptr, "HtmlHelpAdvancedSettings.bmp"},
    });
}

TEST(ConfigHelp, MissingOrUnreadableHelpIsReported) {
    runCases({
        {"winxp", Dialog::Main, HelpFile::Missing, nullptr, config::kHelpMissingText, nullptr},
        {"win10", Dialog::Advanced, HelpFile::Missing, nullptr, config::kHelpMissingText, nullptr},
        {"win10", Dialog::Main, HelpFile::Unreadable, nullptr, config::kHelpUnopenedText, nullptr},
    });
}

} // namespace
