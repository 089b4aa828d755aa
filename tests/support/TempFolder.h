// A fresh folder under the temporary folder, removed with everything in it at the end.
#pragma once

#include <string>

namespace support {

// Removes the folder (its path ending in a backslash) and everything in it, read-only files too.
void removeTree(const std::string& folder);

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "prismata");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Ends with a backslash.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace support
