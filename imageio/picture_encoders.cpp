// PNG and PNM encoding of restored pictures into memory.
#include "imageio/picture_encoders.h"

#include <cstdlib>
#include <memory>
#include <new>

#include "codec/codec.h"
#include "imageio/png_library.h"

namespace qx {

namespace {

constexpr int kMaxSide = 32767;

bool CheckShape(int width, int length, int kind, std::string& why) {
    if (kind != kRestoredGrey && kind != kRestoredRgb) {
        why = "no restored picture";
        return false;
    }
    if (width < 1 || length < 1 || width > kMaxSide || length > kMaxSide) {
        why = "picture size out of range";
        return false;
    }
    return true;
}

}  // namespace

bool EncodePng(const uint8_t* pixels, int width, int length, int kind, std::vector<uint8_t>& bytes,
               std::string& why) {
    bytes.clear();
    if (!CheckShape(width, length, kind, why)) return false;
    const PngLibrary png;
    if (!png.ready) {
        why = "PNG encoder: " + png.library.error();
        return false;
    }
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> ctx(png.spng_ctx_new(SPNG_CTX_ENCODER),
                                                             png.spng_ctx_free);
    if (!ctx) {
        why = "no memory for the encoder";
        return false;
    }
    png.spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<uint32_t>(width);
    ihdr.height = static_cast<uint32_t>(length);
    ihdr.bit_depth = 8;
    ihdr.color_type = kind == kRestoredRgb ? SPNG_COLOR_TYPE_TRUECOLOR : SPNG_COLOR_TYPE_GRAYSCALE;
    const size_t size = static_cast<size_t>(width) * length * (kind == kRestoredRgb ? 3 : 1);
    int code = png.spng_set_ihdr(ctx.get(), &ihdr);
    if (code == 0)
        code = png.spng_encode_image(ctx.get(), pixels, size, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    size_t encodedSize = 0;
    void* encoded = code == 0 ? png.spng_get_png_buffer(ctx.get(), &encodedSize, &code) : nullptr;
    if (!encoded) {
        why = std::string("PNG encoder: ") + png.spng_strerror(code);
        return false;
    }
    try {
        const auto* begin = static_cast<const uint8_t*>(encoded);
        bytes.assign(begin, begin + encodedSize);
    } catch (const std::bad_alloc&) {
        why = "no memory for the PNG file";
    }
    std::free(encoded);
    return !bytes.empty();
}

bool EncodePnm(const uint8_t* pixels, int width, int length, int kind, std::vector<uint8_t>& bytes,
               std::string& why) {
    bytes.clear();
    if (!CheckShape(width, length, kind, why)) return false;
    const bool rgb = kind == kRestoredRgb;
    const std::string head = std::string(rgb ? "P6\n" : "P5\n") + std::to_string(width) + " " +
                             std::to_string(length) + "\n255\n";
    const size_t size = static_cast<size_t>(width) * length * (rgb ? 3 : 1);
    try {
        bytes.reserve(head.size() + size);
        bytes.assign(head.begin(), head.end());
        bytes.insert(bytes.end(), pixels, pixels + size);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        why = "no memory for the PNM file";
        return false;
    }
    return true;
}

}  // namespace qx
