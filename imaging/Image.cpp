#include "imaging/Image.h"

namespace imaging {

const char* imageErrorName(ImageError error) {
    switch (error) {
    case ImageError::None:
        return "none";
    case ImageError::Empty:
        return "empty file";
    case ImageError::UnknownFormat:
        return "unknown format";
    case ImageError::BadHeader:
        return "bad header";
    case ImageError::Unsupported:
        return "unsupported variant";
    case ImageError::Truncated:
        return "truncated";
    case ImageError::Corrupt:
        return "corrupt data";
    case ImageError::TooLarge:
        return "too large";
    case ImageError::OutOfMemory:
        return "out of memory";
    case ImageError::BadSize:
        return "bad size";
    case ImageError::Cancelled:
        return "cancelled";
    }
    return "unknown error";
}

} // namespace imaging
