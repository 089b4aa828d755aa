// What the build dialog shows while the worker runs: the status line and the progress position.
// Free of window code.
#pragma once

#include <string>

namespace library {

// The status line while a picture is converted: its name, then the name under "ImageCache\".
std::string convertingStatus(const std::string& name);
// The status line while a picture is only listed.
std::string indexingStatus(const std::string& name);

// The status line while the folders are searched: the folder being listed.
std::string scanningStatus(const std::string& folder);

// The closing box's text: "Processed <count> image files", and when pictures stored online only were left
// out, how many and how the user can have them shown.
std::string processedText(int count, int onlineOnlyFiles);

// The progress position (0 ... 100) after `processed` of `total` pictures: 100 * processed / total,
// the remainder dropped.
int progressPosition(int processed, int total);

} // namespace library
