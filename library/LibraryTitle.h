// The caption of message boxes that have none of their own.
#pragma once

#include <string>

namespace library {

// The application title; the title string resource when the application object has none.
std::string appTitle();

} // namespace library
