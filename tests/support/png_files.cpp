// PNG encoding for tests.
#include "support/png_files.h"

#include <spng.h>

#include <cstdlib>
#include <stdexcept>

namespace qxtest {

std::vector<uint8_t> MakePng(const PngShape& shape, const std::vector<uint8_t>& samples) {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<uint32_t>(shape.width);
    ihdr.height = static_cast<uint32_t>(shape.height);
    ihdr.bit_depth = static_cast<uint8_t>(shape.bitDepth);
    ihdr.color_type = static_cast<uint8_t>(shape.colourType);
    ihdr.interlace_method = shape.interlaced ? 1 : 0;
    int code = spng_set_ihdr(ctx, &ihdr);
    if (code == 0 && !shape.palette.empty()) {
        spng_plte plte{};
        plte.n_entries = static_cast<uint32_t>(shape.palette.size() / 3);
        for (uint32_t i = 0; i < plte.n_entries; ++i)
            plte.entries[i] = {shape.palette[3 * i], shape.palette[3 * i + 1],
                               shape.palette[3 * i + 2], 0};
        code = spng_set_plte(ctx, &plte);
    }
    if (code == 0)
        code = spng_encode_image(ctx, samples.data(), samples.size(), SPNG_FMT_PNG,
                                 SPNG_ENCODE_FINALIZE);
    size_t size = 0;
    void* buffer = code == 0 ? spng_get_png_buffer(ctx, &size, &code) : nullptr;
    spng_ctx_free(ctx);
    if (!buffer) throw std::runtime_error(std::string("PNG encoder: ") + spng_strerror(code));
    std::vector<uint8_t> png(static_cast<uint8_t*>(buffer), static_cast<uint8_t*>(buffer) + size);
    std::free(buffer);
    return png;
}

void SetPngSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height) {
    // IHDR: length at 8, type at 12, width at 16, height at 20, checksum at 29 over 12 ... 28.
    auto store = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) png[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
    };
    store(16, width);
    store(20, height);
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    store(29, crc ^ 0xFFFFFFFFu);
}

}  // namespace qxtest
