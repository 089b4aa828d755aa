// Numbers typed into the advanced settings dialog's edits.
#pragma once

#include <string>

namespace config {

// The text read as a signed decimal integer: blanks around it and one leading sign are allowed. Anything
// else, and a number outside the int range, reads as 0; the dialog stores whatever this returns.
int parseDialogInt(const std::string& text);

} // namespace config
