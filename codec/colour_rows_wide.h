// Colour transform rows 64 pixels at a time with the byte permutes of AVX-512 VBMI: a lookup in
// a 256-entry byte table takes four instructions for 64 values, and RGB pixels are split into
// channels (and joined again) by permutes instead of byte by byte. Processors with AVX2 only take
// 16 pixels at a time, with byte shuffles and table gathers. The scalar rows finish what is left
// of a row and serve other processors; all give the same values.
#pragma once

#include <array>
#include <cstdint>

namespace qx {

// The row functions a transform uses: the fastest the processor runs, or slower ones that a
// test compares with them.
enum class ColourRows { kScalar, kAvx2, kAvx512 };
ColourRows FastestColourRows();

// Byte offsets inside an RGB pixel of the reference channel and of the channels that become
// chroma components 1 and 2.
struct ChannelOrder {
    int reference;
    int first;
    int second;
};

// The first n pixels of a row of RGB pixels, n being width rounded down to a multiple of 64:
// luma = (2 ref + first + second) >> 2 of the channels' tone levels and, withChroma, per pixel
// pair the odd pixel's first - ref and second - ref. levels: byte tables of the reference, first
// and second channel. Returns n.
int ForwardRowWide(const uint8_t* row, int width, ChannelOrder order,
                   const std::array<const uint8_t*, 3>& levels, bool withChroma, int16_t* luma,
                   int16_t* chroma1, int16_t* chroma2);

// The first n pixels (as above) of a restored RGB row from its luma row and the chroma row of its
// blocks: ref = clamp(luma - ((c1 + c2) >> 2)), first = clamp(ref + c1), second = clamp(ref + c2),
// each then through the lookup of its position in the pixel (red, green, blue). Returns n.
int RestoreRowWide(const int16_t* luma, const int16_t* chroma1, const int16_t* chroma2, int width,
                   ChannelOrder order, const std::array<const uint8_t*, 3>& lookups, uint8_t* rgb);

// As ForwardRowWide for the first n pixels; levels as 32-bit tables. n is the width of an even
// row of 16 pixels or more, else a multiple of 16 with n + 2 <= width (the loads read a little
// past the last pixel taken).
int ForwardRowAvx2(const uint8_t* row, int width, ChannelOrder order,
                   const std::array<const int32_t*, 3>& levels, bool withChroma, int16_t* luma,
                   int16_t* chroma1, int16_t* chroma2);

// As RestoreRowWide for the first n pixels; lookups as 32-bit tables, channel c's entries already
// shifted to its byte of a pixel (value << 8c). n is the width of an even
// row of 16 pixels or more, else a multiple of 16 with n + 2 <= width, whose last four bytes
// written belong to pixels n and n + 1, which the caller writes afterwards.
int RestoreRowAvx2(const int16_t* luma, const int16_t* chroma1, const int16_t* chroma2, int width,
                   ChannelOrder order, const std::array<const int32_t*, 3>& lookups, uint8_t* rgb);

}  // namespace qx
