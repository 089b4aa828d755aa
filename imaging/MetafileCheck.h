// Whether a Windows metafile may be played by the system. Free of window code.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

// True for a metafile (placeable or plain) whose every record up to the end record lies inside the data,
// is of a kind we know, holds all the parameters its counts promise (the points of a polygon, the
// characters of a text, the colour table and pixels of an embedded DIB) and names only objects inside
// the header's handle table. The system's metafile player reads and writes wherever those fields point,
// past the record and past its buffers, so anything else is refused. Region records, old device-
// dependent bitmaps and compressed DIBs inside records are refused too: real pictures rarely hold them.
bool isSoundMetafile(const std::uint8_t* data, std::size_t size);

} // namespace imaging
