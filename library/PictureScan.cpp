#include "library/PictureScan.h"

#include <cctype>

namespace library {

std::string searchPattern(const std::string& folder) {
    std::string pattern = folder;
    if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/'))
        pattern += '\\';
    return pattern + "*.*";
}

bool isPictureFileName(const std::string& path) {
    size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == "BMP" || ext == "JPG" || ext == "JPEG" || ext == "DIB" || ext == "WMF";
}

} // namespace library
