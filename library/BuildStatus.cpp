#include "library/BuildStatus.h"

namespace library {

std::string convertingStatus(const std::string& name) {
    return "Input: " + name + "\r\nOutput: ImageCache\\" + name;
}

std::string indexingStatus(const std::string& name) {
    return "Indexing " + name;
}

int progressPosition(int processed, int total) {
    if (total <= 0 || processed <= 0)
        return 0;
    return static_cast<int>(100LL * processed / total);
}

} // namespace library
