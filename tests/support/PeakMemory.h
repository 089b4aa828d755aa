// The most heap the process held since a reset, counted at malloc itself so that libjpeg's buffers count
// as much as ours. Not available in sanitizer builds, whose runtime owns malloc.
#pragma once

#include <cstddef>

namespace peak {

bool available();
// Starts a measurement; allocations that would take the process more than refuseBeyond bytes above
// the current use fail (nullptr, std::bad_alloc), so a runaway decode cannot take the machine with it.
void reset(std::size_t refuseBeyond);
// The most held above the use at reset, refused requests included.
std::size_t bytes();
void stop();

} // namespace peak
