#include "tests/support/TempFolder.h"

#include <windows.h>

namespace support {

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // A link or junction: removed itself, never followed into what it points at.
                if (!RemoveDirectoryA(path.c_str()))
                    DeleteFileA(path.c_str());
            } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

TempFolder::TempFolder(const std::string& prefix) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static LONG counter = 0;
    // A folder left by an earlier run of the same process id is passed over.
    for (int attempt = 0; attempt <= 100; ++attempt) {
        m_path = std::string(temp) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(InterlockedIncrement(&counter)) + "\\";
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    removeTree(m_path);
}

} // namespace support
