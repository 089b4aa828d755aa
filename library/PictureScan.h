// Which files of a picture folder are pictures, and the search pattern over the folder. Free of window code.
#pragma once

#include <string>

namespace library {

// folder + "\" (unless it already ends in "\" or "/") + "*.*".
std::string searchPattern(const std::string& folder);

// True when the text after the last "." is BMP, JPG, JPEG, DIB or WMF in any letter case.
bool isPictureFileName(const std::string& path);

} // namespace library
