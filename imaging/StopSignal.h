// A stop request that long decodes poll between read chunks and between rows, so a show or a build
// can end while a huge picture is still being read.
#pragma once

namespace imaging {

class StopSignal {
public:
    virtual ~StopSignal() = default;
    // True once the caller wants the work abandoned; cheap enough to call once per row.
    virtual bool stopRequested() const = 0;
};

} // namespace imaging
