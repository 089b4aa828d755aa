// The triangle filter of Scale.h fed one source row at a time: only the output rows whose tents the
// current row falls in are held, as sums, so the picture's height costs no memory and its width a few
// rows' worth.
#pragma once

#include "imaging/RowSink.h"
#include "imaging/StopSignal.h"
#include "imaging/TentAxis.h"

#include <cstddef>
#include <vector>

namespace imaging {

class StreamScaler : public RowSink {
public:
    // width x height: the upright result. orientation: the EXIF value that turns the delivered picture
    // upright. budget: the most working memory the whole decode may take, the decoder's included.
    StreamScaler(int width, int height, int orientation, std::size_t budget, const StopSignal* stop);

    ImageError start(int width, int height, bool bottomUp, std::size_t decoderBytes) override;
    std::size_t decoderAllowance() const override;
    ImageError row(const std::uint32_t* pixels) override;

    // The upright picture once every row has come; empty before.
    Image take();

private:
    float weightOf(int output, int source) const;
    void filterAcross(const float* in);
    void emit(int output);

    int m_width;
    int m_height;
    int m_orientation;
    std::size_t m_budget;
    const StopSignal* m_stop;
    std::size_t m_planned = 0;

    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    bool m_bottomUp = false;
    int m_targetWidth = 0; // the result before it is turned upright
    int m_targetHeight = 0;

    AxisFilter m_across;
    std::vector<Tent> m_down;
    std::vector<int> m_lowest; // the source rows output row i reads, mirrored: lowest .. highest
    std::vector<int> m_highest;
    std::vector<float> m_unpacked; // the current source row, four floats a pixel
    std::vector<float> m_filtered; // the same row filtered to the target width
    bool m_verticalFirst = false;  // sums at the source width, filtered across as each is done
    int m_sumWidth = 0;
    std::vector<float> m_sums; // a ring of m_capacity open output rows
    int m_capacity = 0;
    int m_nextSource = 0;
    int m_firstOpen = 0;
    int m_nextOpen = 0;
    Image m_out;
};

} // namespace imaging
