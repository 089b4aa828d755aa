// The [Photos] section as a whole, so that the picture list is cleared and written in one operation each,
// however long it is. Lines are "key=value" as the settings file returns them. Free of window code.
#pragma once

#include <string>
#include <vector>

namespace library {

// The section with Entry0 ... Entry(Count - 1) and the list's Stamp removed and Count = 0: keys that the
// list does not own (an entry past Count put there by hand) stay.
std::vector<std::string> clearedPictureList(const std::vector<std::string>& section);

// The section holding the new list: Count, Stamp (the mark of this rebuild), then Entry0 ... Entry(n - 1),
// then whatever other keys the section held (except an old Count, Stamp and entries the new list replaces).
std::vector<std::string> writtenPictureList(const std::vector<std::string>& section,
                                            const std::vector<std::string>& entries, const std::string& stamp);

} // namespace library
