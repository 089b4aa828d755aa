#include "config/FolderText.h"

namespace config {

namespace {
const char kControlPanelId[] = "{21EC2020-3AEA-1069-A2DD-08002B30309D}";
}

std::string folderProbePath(const std::string& folderText) {
    std::string probe = folderText;
    if (probe.empty() || (probe.back() != '/' && probe.back() != '\\'))
        probe += '/';
    probe += '.';
    return probe;
}

bool isControlPanelPath(const std::string& path) {
    const std::string id = kControlPanelId;
    return path.size() >= id.size() && path.compare(path.size() - id.size(), id.size(), id) == 0;
}

} // namespace config
