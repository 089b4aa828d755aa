#include "imaging/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

// jpeglib.h first: jerror.h depends on its configuration.
#include <jpeglib.h>
#include <jerror.h>

namespace imaging {

namespace {

// Well beyond what encoders write (about ten scans); a crafted file with thousands of tiny scans would
// otherwise keep the loader busy for minutes.
constexpr int kMaxScans = 256;
// Coefficient buffers of progressive pictures; beyond this (or the sink's allowance) libjpeg fails
// instead of allocating.
constexpr std::size_t kMaxDecoderMemory = std::size_t(512) << 20;
constexpr int kTooManyScans = -1;
constexpr int kStopped = -2;
constexpr std::size_t kRowsPerRead = 4;

// libjpeg's error exit must come back here: it jumps to the decode's setjmp instead of ending the process.
struct ErrorManager {
    jpeg_error_mgr pub; // first, so libjpeg's pointer is ours
    std::jmp_buf jump;
    volatile int code = 0;
    const StopSignal* stop = nullptr; // asked by the progress monitor
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->code = err->pub.msg_code;
    std::longjmp(err->jump, 1);
}

// Warnings that mean the picture lost data: a failure, not a half-grey face.
bool damagesPicture(int code) {
    switch (code) {
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void emitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return; // trace messages
    if (damagesPicture(cinfo->err->msg_code))
        errorExit(cinfo);
    ++cinfo->err->num_warnings;
}

void outputMessage(j_common_ptr) {}

// Called between the rows of every scan, also while a progressive picture's scans are read whole
// before its first output row: the stop is seen there too.
void progressMonitor(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        err->code = kTooManyScans;
        std::longjmp(err->jump, 1);
    }
    if (err->stop && err->stop->stopRequested()) {
        err->code = kStopped;
        std::longjmp(err->jump, 1);
    }
}

// The whole file is in memory: running out of bytes is the end of a truncated file.
void initSource(j_decompress_ptr) {}
boolean fillInputBuffer(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_INPUT_EOF);
    return FALSE;
}
void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    if (static_cast<std::size_t>(count) > cinfo->src->bytes_in_buffer)
        ERREXIT(cinfo, JERR_INPUT_EOF);
    cinfo->src->next_input_byte += count;
    cinfo->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}
void termSource(j_decompress_ptr) {}

ImageError errorFor(int code) {
    switch (code) {
    case JERR_INPUT_EOF:
        return ImageError::Truncated;
    case JERR_OUT_OF_MEMORY:
        return ImageError::OutOfMemory;
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return ImageError::TooLarge;
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
        return ImageError::Unsupported;
    case JERR_NO_SOI:
        return ImageError::UnknownFormat;
    case JERR_EMPTY_IMAGE:
        return ImageError::BadHeader;
    default:
        return ImageError::Corrupt;
    }
}

unsigned cmykChannel(unsigned ink, unsigned black, bool inverted) {
    // Adobe's writers store CMYK inverted (255 = no ink); plain CMYK stores the ink itself.
    if (!inverted) {
        ink = 255 - ink;
        black = 255 - black;
    }
    return (ink * black + 127) / 255;
}

// Everything libjpeg touches and the buffers live outside the function that calls setjmp, so nothing
// there changes between setjmp and longjmp except through these references.
struct JpegState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    std::vector<std::uint32_t> rows; // a batch of rows, or of samples to convert
    std::vector<std::uint32_t> line; // one converted row
};

// Our handlers and the in-memory source; plain assignments, made before libjpeg is called.
void installManagers(JpegState& s, const std::uint8_t* data, std::size_t size) {
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = errorExit;
    s.err.pub.emit_message = emitMessage;
    s.err.pub.output_message = outputMessage;
    s.source.next_input_byte = data;
    s.source.bytes_in_buffer = size;
    s.source.init_source = initSource;
    s.source.fill_input_buffer = fillInputBuffer;
    s.source.skip_input_data = skipInputData;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = termSource;
    s.progress.progress_monitor = progressMonitor;
}

void describeFrame(const jpeg_decompress_struct& cinfo, JpegDetails* details) {
    if (!details)
        return;
    details->width = static_cast<int>(cinfo.image_width);
    details->height = static_cast<int>(cinfo.image_height);
    details->components = cinfo.num_components;
    details->progressive = cinfo.progressive_mode != 0;
}

ImageError checkFrame(const jpeg_decompress_struct& cinfo) {
    if (cinfo.image_width == 0 || cinfo.image_height == 0)
        return ImageError::BadHeader;
    if (std::uint64_t(cinfo.image_width) * cinfo.image_height > kMaxImagePixels)
        return ImageError::TooLarge;
    return ImageError::None;
}

// The colour space libjpeg is to deliver, and how many samples a pixel then has.
ImageError chooseOutput(jpeg_decompress_struct& cinfo, int& outComponents) {
    outComponents = 4;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        outComponents = 1;
        return ImageError::None;
    case JCS_YCbCr:
    case JCS_RGB:
#ifdef JCS_EXTENSIONS
        cinfo.out_color_space = JCS_EXT_BGRA; // straight into our pixel layout, alpha filled with 255
#else
        cinfo.out_color_space = JCS_RGB;
        outComponents = 3;
#endif
        return ImageError::None;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK; // libjpeg has no CMYK to RGB conversion
        return ImageError::None;
    default:
        return ImageError::Unsupported;
    }
}

// Tells the sink the output size and our buffers, gives libjpeg what the sink allows, and makes the buffers.
ImageError startSink(JpegState& s, RowSink& sink, bool direct) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    const std::size_t width = cinfo.output_width;
    const std::size_t batchWords = width * kRowsPerRead; // four samples at most, one word a pixel
    // libjpeg's own row buffers grow with the width too; its coefficient arrays get the sink's allowance.
    const std::size_t libraryBytes = width * static_cast<std::size_t>(cinfo.num_components) * 16 + (64 << 10);
    if (ImageError e = sink.start(static_cast<int>(width), static_cast<int>(cinfo.output_height), false,
                                  (batchWords + (direct ? 0 : width)) * 4 + libraryBytes);
        e != ImageError::None)
        return e;
    // Zero would mean no limit at all to libjpeg. A progressive picture's coefficients must be held whole
    // whatever the scale: they get an allowance of their own, so camera photos saved progressive still show.
    const std::size_t allowance =
        sink.decoderAllowance() + (cinfo.progressive_mode ? kProgressiveCoefficientMemory : 0);
    cinfo.mem->max_memory_to_use = static_cast<long>(std::max<std::size_t>(1, std::min(kMaxDecoderMemory, allowance)));
    try {
        s.rows.resize(batchWords);
        if (!direct)
            s.line.resize(width);
    } catch (const std::bad_alloc&) {
        return ImageError::OutOfMemory;
    }
    return ImageError::None;
}

// One row of grey, RGB or CMYK samples as our pixels.
void convertRow(const JSAMPLE* src, std::size_t width, int components, bool inverted, std::uint32_t* dst) {
    for (std::size_t x = 0; x < width; ++x) {
        if (components == 1) {
            dst[x] = packRgb(src[x], src[x], src[x]);
        } else if (components == 3) {
            dst[x] = packRgb(src[3 * x], src[3 * x + 1], src[3 * x + 2]);
        } else {
            const JSAMPLE* p = src + 4 * x;
            dst[x] = packRgb(cmykChannel(p[0], p[3], inverted), cmykChannel(p[1], p[3], inverted),
                             cmykChannel(p[2], p[3], inverted));
        }
    }
}

// Reads the rows in batches and hands them to the sink, converted unless libjpeg wrote our layout.
ImageError readRows(JpegState& s, RowSink& sink, bool direct, int outComponents, const StopSignal* stop) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    const std::size_t width = cinfo.output_width;
    const bool inverted = cinfo.saw_Adobe_marker != 0;
    const std::size_t rowBytes = width * static_cast<std::size_t>(outComponents);
    JSAMPROW rowPointers[kRowsPerRead];
    for (std::size_t i = 0; i < kRowsPerRead; ++i)
        rowPointers[i] = reinterpret_cast<JSAMPROW>(s.rows.data()) + i * (direct ? width * 4 : rowBytes);
    while (cinfo.output_scanline < cinfo.output_height) {
        if (stop && stop->stopRequested())
            return ImageError::Cancelled;
        const std::size_t wanted = std::min<std::size_t>(kRowsPerRead, cinfo.output_height - cinfo.output_scanline);
        const std::size_t got = jpeg_read_scanlines(&cinfo, rowPointers, static_cast<JDIMENSION>(wanted));
        if (got == 0)
            ERREXIT(&cinfo, JERR_INPUT_EOF);
        for (std::size_t i = 0; i < got; ++i) {
            const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(rowPointers[i]);
            if (!direct) {
                convertRow(rowPointers[i], width, outComponents, inverted, s.line.data());
                row = s.line.data();
            }
            if (ImageError e = sink.row(row); e != ImageError::None)
                return e;
        }
    }
    // Every row is here: whatever follows the last scan does not matter.
    return ImageError::None;
}

// Everything after jpeg_create_decompress; libjpeg's errors jump out of here to decode's setjmp.
ImageError decodeCreated(JpegState& s, std::uint32_t coverWidth, std::uint32_t coverHeight, RowSink* sink,
                         JpegDetails* details, const StopSignal* stop) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    (void)jpeg_read_header(&cinfo, TRUE);
    if (ImageError e = checkFrame(cinfo); e != ImageError::None)
        return e;
    if (!sink) {
        describeFrame(cinfo, details);
        return ImageError::None;
    }

    int outComponents = 4;
    if (ImageError e = chooseOutput(cinfo, outComponents); e != ImageError::None)
        return e;
    const bool direct =
        cinfo.out_color_space != JCS_GRAYSCALE && cinfo.out_color_space != JCS_CMYK && outComponents == 4;
    const int scale = chooseJpegScale(cinfo.image_width, cinfo.image_height, coverWidth, coverHeight);
    cinfo.scale_num = static_cast<unsigned>(scale);
    cinfo.scale_denom = 8;
    jpeg_calc_output_dimensions(&cinfo);
    describeFrame(cinfo, details);
    if (details)
        details->scaleNumerator = scale;
    if (ImageError e = startSink(s, *sink, direct); e != ImageError::None)
        return e;
    (void)jpeg_start_decompress(&cinfo);
    return readRows(s, *sink, direct, outComponents, stop);
}

// Without a sink, stops after the frame header: details hold the declared size, nothing is decoded.
ImageError decode(JpegState& s, const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth,
                  std::uint32_t coverHeight, RowSink* sink, JpegDetails* details, const StopSignal* stop) {
    installManagers(s, data, size);
    s.err.stop = stop;
    if (setjmp(s.err.jump)) {
        jpeg_destroy_decompress(&s.cinfo);
        if (s.err.code == kStopped)
            return ImageError::Cancelled;
        return s.err.code == kTooManyScans ? ImageError::Corrupt : errorFor(s.err.code);
    }
    jpeg_create_decompress(&s.cinfo);
    s.cinfo.mem->max_memory_to_use = static_cast<long>(kMaxDecoderMemory);
    s.cinfo.src = &s.source;
    s.cinfo.progress = &s.progress;
    const ImageError result = decodeCreated(s, coverWidth, coverHeight, sink, details, stop);
    jpeg_destroy_decompress(&s.cinfo);
    return result;
}

} // namespace

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int chooseJpegScale(std::uint32_t width, std::uint32_t height, std::uint32_t coverWidth, std::uint32_t coverHeight) {
    if (coverWidth == 0 || coverHeight == 0)
        return 8;
    const std::uint64_t needW = std::min(coverWidth, width);
    const std::uint64_t needH = std::min(coverHeight, height);
    for (int m = 1; m < 8; ++m) {
        const std::uint64_t w = (std::uint64_t(width) * m + 7) / 8;
        const std::uint64_t h = (std::uint64_t(height) * m + 7) / 8;
        if (w >= needW && h >= needH)
            return m;
    }
    return 8;
}

ImageError decodeJpeg(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth, std::uint32_t coverHeight,
                      Image& out, JpegDetails* details, const StopSignal* stop) {
    out = Image{};
    ImageSink sink(out);
    const ImageError error = decodeJpegRows(data, size, coverWidth, coverHeight, sink, details, stop);
    if (error != ImageError::None)
        out = Image{};
    return error;
}

ImageError decodeJpegRows(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth,
                          std::uint32_t coverHeight, RowSink& sink, JpegDetails* details, const StopSignal* stop) {
    if (size == 0)
        return ImageError::Empty;
    if (!looksLikeJpeg(data, size))
        return ImageError::UnknownFormat;
    JpegState state{};
    return decode(state, data, size, coverWidth, coverHeight, &sink, details, stop);
}

ImageError readJpegHeader(const std::uint8_t* data, std::size_t size, JpegDetails& details) {
    details = JpegDetails{};
    if (size == 0)
        return ImageError::Empty;
    if (!looksLikeJpeg(data, size))
        return ImageError::UnknownFormat;
    JpegState state{};
    return decode(state, data, size, 0, 0, nullptr, &details, nullptr);
}

} // namespace imaging
