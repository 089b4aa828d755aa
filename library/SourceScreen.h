// Which picture files may be handed to the system picture loader. Free of window code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace library {

// True for a BMP file whose header is sound and whose pixels lie inside the data, a JPEG whose frame is
// no larger than our own decoders take, and a sound metafile. The system loader trusts those headers (a
// BMP's offset and compressed size, a JPEG's frame size in 32-bit buffer arithmetic, a metafile's record
// counts) and reads or writes past its buffers when they lie; other formats (icons, GIF, PNG) are not
// what the scan offers and are refused.
bool isSafeForSystemLoader(const std::uint8_t* data, std::size_t size);

} // namespace library
