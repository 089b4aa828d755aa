#include "library/BuildStatus.h"

namespace library {

std::string convertingStatus(const std::string& name) {
    return "Input: " + name + "\r\nOutput: ImageCache\\" + name;
}

std::string indexingStatus(const std::string& name) {
    return "Indexing " + name;
}

std::string scanningStatus(const std::string& folder) {
    return "Looking for pictures in\r\n" + folder;
}

std::string processedText(int count, int onlineOnlyFiles) {
    std::string text = "Processed " + std::to_string(count) + " image files";
    if (onlineOnlyFiles <= 0)
        return text;
    return text + "\r\n\r\n" + std::to_string(onlineOnlyFiles) +
           (onlineOnlyFiles == 1 ? " picture stored online only was" : " pictures stored online only were") +
           " skipped, so that they are not downloaded. Marking them \"Always keep on this device\" in OneDrive "
           "lets Prismata show them.";
}

int progressPosition(int processed, int total) {
    if (total <= 0 || processed <= 0)
        return 0;
    return static_cast<int>(100LL * processed / total);
}

} // namespace library
