// Rules on the picture-folder text of the main settings dialog and on folders offered by the shell browser.
#pragma once

#include <string>

namespace config {

// The path whose existence tells whether the folder text names a folder: a separator is added when the
// text lacks one, then ".". An empty text so probes the root of the current drive.
std::string folderProbePath(const std::string& folderText);

// True when a browsed path ends in the Control Panel's class identifier, which is no picture folder.
bool isControlPanelPath(const std::string& path);

} // namespace config
