// PNG decoding through libspng: limits set before the header is read, the picture decoded as
// RGB, or as RGBA and flattened onto white when the file carries transparency.
#include "imageio/png_reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "imageio/png_library.h"

namespace qx {

namespace {

// Chunks besides the picture data are small in any real file; these keep a hostile one from
// making the decoder cache hundreds of megabytes.
constexpr size_t kMaxChunkBytes = size_t{1} << 26;
constexpr size_t kMaxChunkCacheBytes = size_t{1} << 26;

// The file read a block at a time. The decoder asks for every chunk's length, type, data and
// check separately, a few bytes at a time; a system call for each cost more than the bytes.
struct BufferedFile {
    static constexpr size_t kBlockBytes = size_t{64} << 10;
    FileHandle* file = nullptr;
    std::unique_ptr<uint8_t[]> block;  // filled by each read before it is used
    size_t next = 0;
    size_t end = 0;
};

int ReadFromFile(spng_ctx*, void* user, void* destination, size_t length) {
    BufferedFile& in = *static_cast<BufferedFile*>(user);
    uint8_t* out = static_cast<uint8_t*>(destination);
    while (length > 0) {
        if (in.next == in.end) {
            // A request as large as the block goes straight into its destination.
            uint8_t* target = length >= BufferedFile::kBlockBytes ? out : in.block.get();
            const size_t size = target == out ? length : BufferedFile::kBlockBytes;
            const int64_t count = in.file->read(target, size);
            if (count < 0) return SPNG_IO_ERROR;
            if (target == out) return count == static_cast<int64_t>(length) ? 0 : SPNG_IO_EOF;
            if (count == 0) return SPNG_IO_EOF;
            in.next = 0;
            in.end = static_cast<size_t>(count);
        }
        const size_t n = std::min(length, in.end - in.next);
        std::memcpy(out, in.block.get() + in.next, n);
        in.next += n;
        out += n;
        length -= n;
    }
    return 0;
}

// 255 where the picture is transparent, the colour itself where it is opaque.
uint8_t OnWhite(uint8_t colour, uint8_t alpha) {
    return static_cast<uint8_t>((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

}  // namespace

struct PngReader::Context {
    PngLibrary png;
    BufferedFile source;
    spng_ctx* ctx = png.ready ? png.spng_ctx_new(0) : nullptr;
    ~Context() {
        if (ctx) png.spng_ctx_free(ctx);
    }
};

PngReader::PngReader(uint32_t maxSide) : maxSide_(maxSide) {}
PngReader::~PngReader() = default;

bool PngReader::fail(int code) {
    switch (code) {
        case SPNG_IO_EOF:
            error_ = "the file is cut short";
            break;
        case SPNG_EUSER_WIDTH:
        case SPNG_EUSER_HEIGHT:
            error_ = "the picture is larger than " + std::to_string(maxSide_) + " on a side";
            break;
        case SPNG_EMEM:
            error_ = "no memory for the picture";
            break;
        case SPNG_IO_ERROR:
            error_ = "the file cannot be read";
            break;
        default:
            // Without a loaded library (a step out of order) there is no text for the code.
            error_ = std::string("the file is damaged: ") + (context_ && context_->png.ready
                                                                 ? context_->png.spng_strerror(code)
                                                                 : "PNG decoder not ready");
            break;
    }
    return false;
}

bool PngReader::start() {
    headerRead_ = false;
    width_ = height_ = 0;
    context_ = std::make_unique<Context>();
    if (!context_->png.ready) {
        error_ = context_->png.library.error();
        return false;
    }
    return context_->ctx != nullptr || fail(SPNG_EMEM);
}

bool PngReader::readHeader(FileHandle& file) {
    if (!start()) return false;
    BufferedFile& source = context_->source;
    try {
        source.block.reset(new uint8_t[BufferedFile::kBlockBytes]);
    } catch (const std::bad_alloc&) {
        return fail(SPNG_EMEM);
    }
    source.file = &file;
    const PngLibrary& png = context_->png;
    if (const int code = png.spng_set_png_stream(context_->ctx, ReadFromFile, &source))
        return fail(code);
    return readIhdr();
}

bool PngReader::readHeader(std::span<const uint8_t> bytes) {
    if (!start()) return false;
    if (bytes.empty()) return fail(SPNG_IO_EOF);
    const PngLibrary& png = context_->png;
    if (const int code = png.spng_set_png_buffer(context_->ctx, bytes.data(), bytes.size()))
        return fail(code);
    return readIhdr();
}

bool PngReader::readIhdr() {
    const PngLibrary& png = context_->png;
    spng_ctx* ctx = context_->ctx;
    png.spng_set_image_limits(ctx, maxSide_, maxSide_);
    png.spng_set_chunk_limits(ctx, kMaxChunkBytes, kMaxChunkCacheBytes);
    spng_ihdr ihdr{};
    if (const int code = png.spng_get_ihdr(ctx, &ihdr)) return fail(code);
    spng_trns trns{};
    hasAlpha_ = ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ||
                png.spng_get_trns(ctx, &trns) == 0;
    width_ = static_cast<int>(ihdr.width);
    height_ = static_cast<int>(ihdr.height);
    headerRead_ = true;
    return true;
}

bool PngReader::decodeRgb(std::span<uint8_t> rgb) {
    alphaFlattened_ = false;
    if (!headerRead_) return fail(SPNG_EBADSTATE);
    headerRead_ = false;  // the decoder's state is spent either way
    const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
    if (rgb.size() < pixels * 3) return fail(SPNG_EBUFSIZ);
    const PngLibrary& png = context_->png;
    spng_ctx* ctx = context_->ctx;
    if (!hasAlpha_) {
        if (const int code = png.spng_decode_image(ctx, rgb.data(), pixels * 3, SPNG_FMT_RGB8, 0))
            return fail(code);
        return true;
    }
    std::vector<uint8_t> rgba;
    try {
        rgba.resize(pixels * 4);
    } catch (const std::bad_alloc&) {
        return fail(SPNG_EMEM);
    }
    if (const int code =
            png.spng_decode_image(ctx, rgba.data(), rgba.size(), SPNG_FMT_RGBA8, SPNG_DECODE_TRNS))
        return fail(code);
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* in = &rgba[4 * i];
        uint8_t* out = &rgb[3 * i];
        if (in[3] != 255) alphaFlattened_ = true;
        for (int c = 0; c < 3; ++c) out[c] = OnWhite(in[c], in[3]);
    }
    return true;
}

}  // namespace qx
