// Drives the configuration mode the way a user would, so a picture library can be built from a script:
// starts "Prismata.scr /c", types the folder into the main dialog, presses OK, lets the build run and
// dismisses its closing message. Every step has a time limit and says what it saw.
//
// Usage: PrismataConfigDriver <path of Prismata.scr> <picture folder> [seconds, default 600]
// Exit code: 0 the library was built; 1 nothing was built (the program ended without building, or the
// dialog has no Folder edit and was cancelled); 2 it could not be driven (not started, no dialog, an
// error box); 3 time ran out.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFolderEditId = 1008;
constexpr char kConfigTitle[] = "Prismata Configuration";
constexpr char kBuildTitle[] = "Building Image Folder";
constexpr char kDoneCaption[] = "Prismata";
constexpr char kAppTitle[] = "Prismata Screen Saver";
constexpr char kFatalCaption[] = "Prismata Fatal Error";
constexpr char kDialogClass[] = "#32770";

void say(const std::string& line) {
    std::printf("configdriver: %s\n", line.c_str());
    std::fflush(stdout);
}

std::string textOf(HWND hwnd) {
    char text[2048] = "";
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::string classOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// The visible top-level dialogs of one process.
struct DialogSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && IsWindowVisible(hwnd) && classOf(hwnd) == kDialogClass)
        search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> processDialogs(DWORD processId) {
    DialogSearch search{processId, {}};
    EnumWindows(&collectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findDialog(DWORD processId, const char* title) {
    for (HWND hwnd : processDialogs(processId))
        if (textOf(hwnd) == title)
            return hwnd;
    return nullptr;
}

// A message box's message: the static control that holds text (the other one holds the icon).
std::string messageOf(HWND box) {
    std::string message;
    for (HWND child = FindWindowExA(box, nullptr, "Static", nullptr); child;
         child = FindWindowExA(box, child, "Static", nullptr)) {
        std::string text = textOf(child);
        if (!text.empty())
            message = text;
    }
    return message;
}

// The build's status text spans lines ("Input: ..." and "Output: ...").
std::string oneLine(std::string text) {
    for (size_t at = text.find_first_of("\r\n"); at != std::string::npos; at = text.find_first_of("\r\n", at)) {
        size_t end = text.find_first_not_of("\r\n", at);
        text.replace(at, (end == std::string::npos ? text.size() : end) - at, "; ");
    }
    return text;
}

void press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class Child {
public:
    explicit Child(std::string commandLine) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        commandLine.push_back('\0');
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &m_info))
            m_info = PROCESS_INFORMATION{};
    }
    ~Child() {
        if (!m_info.hProcess)
            return;
        if (running()) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_info.hProcess != nullptr; }
    bool running() const { return WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT; }
    // Lets it end by itself before the destructor would end it.
    void awaitExit(DWORD milliseconds) const { WaitForSingleObject(m_info.hProcess, milliseconds); }
    DWORD id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info{};
};

class Deadline {
public:
    explicit Deadline(DWORD milliseconds) : m_start(GetTickCount()), m_length(milliseconds) {}
    bool passed() const { return GetTickCount() - m_start >= m_length; }

private:
    DWORD m_start;
    DWORD m_length;
};

int drive(const std::string& saver, const std::string& folder, DWORD seconds) {
    Child prismata("\"" + saver + "\" /c");
    if (!prismata.started()) {
        say("could not start " + saver + " (error " + std::to_string(GetLastError()) + ")");
        return 2;
    }

    HWND config = nullptr;
    for (Deadline wait(30000); !config; Sleep(100)) {
        if (HWND fatal = findDialog(prismata.id(), kFatalCaption)) {
            say("Prismata reports: " + messageOf(fatal));
            press(fatal, IDOK);
            prismata.awaitExit(10000);
            return 2;
        }
        if (!prismata.running() || wait.passed()) {
            say("no \"Prismata Configuration\" dialog appeared");
            return 2;
        }
        config = findDialog(prismata.id(), kConfigTitle);
    }

    HWND edit = GetDlgItem(config, kFolderEditId);
    if (!edit || classOf(edit) != "Edit") {
        // Without the folder there is nothing to build: leave the stored settings as they are.
        say("the dialog has no Folder edit (control 1008); cancelling it");
        press(config, IDCANCEL);
        prismata.awaitExit(10000);
        return 1;
    }
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    say("picture folder set to " + textOf(edit));
    // The dialog checks the folder off its own thread and enables OK once it has found it.
    for (Deadline check(30000); !IsWindowEnabled(GetDlgItem(config, IDOK)); Sleep(50)) {
        if (check.passed() || !prismata.running()) {
            say("the dialog does not take this folder (OK stays disabled); cancelling it");
            press(config, IDCANCEL);
            prismata.awaitExit(10000);
            return 2;
        }
    }
    press(config, IDOK);
    say("pressed OK");

    bool sawBuild = false;
    bool built = false;
    std::string lastStatus;
    std::vector<HWND> answered; // a box stays listed for a moment after it was answered
    Deadline wait(seconds * 1000);
    while (prismata.running()) {
        if (wait.passed()) {
            say("time ran out after " + std::to_string(seconds) + " s; ending Prismata");
            return 3;
        }
        for (HWND dialog : processDialogs(prismata.id())) {
            if (std::find(answered.begin(), answered.end(), dialog) != answered.end())
                continue;
            std::string title = textOf(dialog);
            if (title == kBuildTitle) {
                if (!sawBuild)
                    say("building the picture library");
                sawBuild = true;
                std::string status = oneLine(messageOf(dialog));
                if (!status.empty() && status != lastStatus)
                    say("  " + status);
                lastStatus = status;
            } else if (title == kDoneCaption) {
                say("Prismata says: " + messageOf(dialog));
                built = true;
                answered.push_back(dialog);
                press(dialog, IDOK);
            } else if (title == kAppTitle || title == kFatalCaption) {
                // The settings dialog refused the folder: report it and leave without saving.
                say("Prismata says: " + messageOf(dialog));
                press(dialog, IDOK);
                Sleep(500);
                if (HWND still = findDialog(prismata.id(), kConfigTitle))
                    press(still, IDCANCEL);
                prismata.awaitExit(10000);
                return 2;
            }
        }
        Sleep(100);
    }
    if (built)
        return 0;
    say(sawBuild ? "the build ended without its closing message" : "Prismata ended without building a library");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: PrismataConfigDriver <path of Prismata.scr> <picture folder> [seconds]\n");
        return 2;
    }
    long seconds = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 600;
    if (seconds <= 0 || seconds > 24 * 3600)
        seconds = 600;
    return drive(argv[1], argv[2], static_cast<DWORD>(seconds));
}
