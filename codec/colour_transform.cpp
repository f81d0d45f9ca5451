// Integer colour transform centred on a reference channel, 3 x 3 luma sharpening, and the way
// back from planes to RGB channel values.
#include "codec/colour_transform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "codec/colour_rows_wide.h"
#include "codec/split_work.h"
#include "codec/tone_tables.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

// Reference 0 is green, 1 red, 2 blue; any other value is read as 2.
constexpr ChannelOrder OrderFor(uint8_t referenceChannel) {
    switch (referenceChannel) {
        case 0:
            return {1, 2, 0};
        case 1:
            return {0, 2, 1};
        default:
            return {2, 1, 0};
    }
}

using LevelLookup = std::array<int16_t, 256>;

// Channel value -> tone level of the given table (the staircase minus its first entry).
LevelLookup LevelsOf(int table) {
    LevelLookup levels;
    const ToneLookup& staircase = ToneTable[table];
    for (int v = 0; v < 256; ++v) levels[v] = static_cast<int16_t>(staircase[v] - staircase[0]);
    return levels;
}

// Pictures from this many pixels on are transformed by two threads, each taking half the rows.
bool IsLarge(int width, int length) {
    return int64_t{width} * length >= 256 * 1024;
}

inline uint8_t ClampByte(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

void ForwardGrey(const uint8_t* picture, int16_t* luma, size_t pixels) {
    const ToneLookup& t = ToneTable[0];
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t* px = picture + 3 * i;
        luma[i] = static_cast<int16_t>((t[px[0]] + 2 * t[px[1]] + t[px[2]]) >> 2);
    }
}

}  // namespace

namespace {

// One picture row to luma and, when WithChroma, to the chroma of its blocks, taken from the
// lower-right pixel of each 2 x 2 block (the odd pixels of odd rows). The channel order is a
// template argument so that the loads have fixed offsets; pixels go in pairs so that the chroma
// reuses the levels of the odd pixel.
template <int Reference, int First, int Second, bool WithChroma>
void ForwardRow(const uint8_t* __restrict row, int width, const int16_t* __restrict refLevels,
                const int16_t* __restrict firstLevels, const int16_t* __restrict secondLevels,
                int16_t* __restrict lumaRow, int16_t* __restrict chroma1,
                int16_t* __restrict chroma2) {
    const int pairs = width / 2;
    for (int j = 0; j < pairs; ++j) {
        const uint8_t* px = row + 6 * j;
        const int p0 = refLevels[px[Reference]];
        const int f0 = firstLevels[px[First]];
        const int s0 = secondLevels[px[Second]];
        const int p1 = refLevels[px[3 + Reference]];
        const int f1 = firstLevels[px[3 + First]];
        const int s1 = secondLevels[px[3 + Second]];
        lumaRow[2 * j] = static_cast<int16_t>((2 * p0 + f0 + s0) >> 2);
        lumaRow[2 * j + 1] = static_cast<int16_t>((2 * p1 + f1 + s1) >> 2);
        if constexpr (WithChroma) {
            chroma1[j] = static_cast<int16_t>(f1 - p1);
            chroma2[j] = static_cast<int16_t>(s1 - p1);
        }
    }
    if (width % 2) {
        const uint8_t* px = row + 3 * (width - 1);
        lumaRow[width - 1] = static_cast<int16_t>(
            (2 * refLevels[px[Reference]] + firstLevels[px[First]] + secondLevels[px[Second]]) >>
            2);
    }
}

using ForwardRowFunction = void (*)(const uint8_t*, int, const int16_t*, const int16_t*,
                                    const int16_t*, int16_t*, int16_t*, int16_t*);

template <int Reference, int First, int Second>
constexpr std::array<ForwardRowFunction, 2> kForwardRows{
    ForwardRow<Reference, First, Second, false>, ForwardRow<Reference, First, Second, true>};

}  // namespace

void ForwardColourTransform(const uint8_t* picture, int16_t* planes, int16_t* luma, int width,
                            int length, uint8_t greyFlag, uint8_t referenceChannel,
                            uint8_t toneSelect, HelperThread* helper, ColourRows rows) {
    const size_t pixels = static_cast<size_t>(width) * length;
    if (greyFlag) {
        ForwardGrey(picture, luma, pixels);
        return;
    }
    const ToneChoice choice = SplitToneSelect(toneSelect);
    // Indexed by the channel's position in a pixel: red, green, blue.
    const std::array<LevelLookup, 3> levels{LevelsOf(choice.red), LevelsOf(choice.green),
                                            LevelsOf(choice.blue)};
    const ChannelOrder order = OrderFor(referenceChannel);
    const std::array<ForwardRowFunction, 2>& forwardRows =
        referenceChannel == 0   ? kForwardRows<1, 2, 0>
        : referenceChannel == 1 ? kForwardRows<0, 2, 1>
                                : kForwardRows<2, 1, 0>;
    const int16_t* refLevels = levels[order.reference].data();
    const int16_t* firstLevels = levels[order.first].data();
    const int16_t* secondLevels = levels[order.second].data();

    // The AVX-512 rows take the levels as bytes, which every tone table's levels are; the AVX2
    // rows gather them from 32-bit tables.
    std::array<std::array<uint8_t, 256>, 3> byteLevels;
    std::array<std::array<int32_t, 256>, 3> wordLevels;
    for (size_t c = 0; c < 3 && rows == ColourRows::kAvx512; ++c) {
        for (int v = 0; v < 256; ++v) {
            if (levels[c][v] < 0 || levels[c][v] > 255) rows = ColourRows::kAvx2;
            byteLevels[c][v] = static_cast<uint8_t>(levels[c][v]);
        }
    }
    if (rows == ColourRows::kAvx2) {
        for (size_t c = 0; c < 3; ++c)
            std::copy(levels[c].begin(), levels[c].end(), wordLevels[c].begin());
    }
    const std::array<const uint8_t*, 3> wideLevels{byteLevels[order.reference].data(),
                                                   byteLevels[order.first].data(),
                                                   byteLevels[order.second].data()};
    const std::array<const int32_t*, 3> avx2Levels{wordLevels[order.reference].data(),
                                                   wordLevels[order.first].data(),
                                                   wordLevels[order.second].data()};
    const auto fastRows = [&](const uint8_t* row, int y, int16_t* lumaRow, int16_t* chroma1Row,
                              int16_t* chroma2Row) {
        switch (rows) {
            case ColourRows::kAvx512:
                return ForwardRowWide(row, width, order, wideLevels, y % 2 == 1, lumaRow,
                                      chroma1Row, chroma2Row);
            case ColourRows::kAvx2:
                return ForwardRowAvx2(row, width, order, avx2Levels, y % 2 == 1, lumaRow,
                                      chroma1Row, chroma2Row);
            default:
                return 0;
        }
    };

    const int halfWidth = width / 2;
    int16_t* chroma1 = planes + pixels;
    int16_t* chroma2 = chroma1 + pixels / 4;
    ShareOut(IsLarge(width, length) ? helper : nullptr, 0, length, 2, [&](int, int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const uint8_t* row = picture + static_cast<size_t>(y) * width * 3;
            int16_t* lumaRow = luma + static_cast<size_t>(y) * width;
            // Odd rows: the chroma row of the blocks they close.
            int16_t* chroma1Row = chroma1 + static_cast<size_t>(y / 2) * halfWidth;
            int16_t* chroma2Row = chroma2 + static_cast<size_t>(y / 2) * halfWidth;
            const int done = fastRows(row, y, lumaRow, chroma1Row, chroma2Row);
            forwardRows[y % 2](row + 3 * done, width - done, refLevels, firstLevels, secondLevels,
                               lumaRow + done, chroma1Row + done / 2, chroma2Row + done / 2);
        }
    });
}

void SharpenLuma(const int16_t* source, int16_t* destination, int width, int length,
                 const FocusRectangle& rect, SharpenStrength strength) {
    std::memcpy(destination, source, static_cast<size_t>(width) * length * sizeof(int16_t));
    // k c - (sum of the 3 x 3 block) leaves a flat area unchanged once shifted: 25 - 9 = 16,
    // 41 - 9 = 32.
    const int k = strength == SharpenStrength::kStrong ? 25 : 41;
    const int shift = strength == SharpenStrength::kStrong ? 4 : 5;
    const auto [x0, y0, w, h] = rect;
    // The top two rows of the rectangle stay as they are, but only its last row at the bottom.
    for (int y = y0 + 2; y <= y0 + h - 2; ++y) {
        const int16_t* above = source + static_cast<size_t>(y - 1) * width;
        const int16_t* centre = source + static_cast<size_t>(y) * width;
        const int16_t* below = source + static_cast<size_t>(y + 1) * width;
        int16_t* out = destination + static_cast<size_t>(y) * width;
        for (int x = x0 + 1; x <= x0 + w - 2; ++x) {
            const int c = centre[x];
            const int sum = above[x - 1] + above[x] + above[x + 1] + centre[x - 1] + c +
                            centre[x + 1] + below[x - 1] + below[x] + below[x + 1];
            const int v = static_cast<int16_t>(k * c - sum) >> shift;
            out[x] = static_cast<int16_t>(v < 224 ? v : c);
        }
    }
}

namespace {

// Tone levels of one row, one array per channel in the order reference, first, second, and each
// pixel's chroma pair; one entry per pixel.
struct RowLevels {
    explicit RowLevels(int width)
        : reference(width), first(width), second(width), chroma1(width), chroma2(width) {}
    std::vector<uint8_t> reference, first, second;
    std::vector<int16_t> chroma1, chroma2;
};

// The levels of one row from its luma row and the chroma row of its blocks. Spreading the chroma
// to every pixel first keeps the arithmetic in unit-stride loops that the compiler vectorises.
QX_VECTOR_CLONES void LevelsOfRow(const int16_t* __restrict luma, const int16_t* __restrict chroma1,
                                  const int16_t* __restrict chroma2, int width, int halfWidth,
                                  uint8_t* __restrict reference, uint8_t* __restrict first,
                                  uint8_t* __restrict second, int16_t* __restrict pixelChroma1,
                                  int16_t* __restrict pixelChroma2) {
    const int pairs = std::min(width / 2, halfWidth);
    for (int j = 0; j < pairs; ++j) {
        pixelChroma1[2 * j] = pixelChroma1[2 * j + 1] = chroma1[j];
        pixelChroma2[2 * j] = pixelChroma2[2 * j + 1] = chroma2[j];
    }
    // An odd last column (never produced by normalisation) reuses the last block.
    for (int x = 2 * pairs; x < width; ++x) {
        pixelChroma1[x] = chroma1[halfWidth - 1];
        pixelChroma2[x] = chroma2[halfWidth - 1];
    }
    for (int x = 0; x < width; ++x) {
        const int c1 = pixelChroma1[x];
        const int c2 = pixelChroma2[x];
        const int p = ClampByte(luma[x] - ((c1 + c2) >> 2));
        reference[x] = static_cast<uint8_t>(p);
        first[x] = ClampByte(p + c1);
        second[x] = ClampByte(p + c2);
    }
}

// Interleaves a row's levels into RGB pixels through a lookup per channel position (red, green,
// blue); the channel order is a template argument so that the stores have fixed offsets.
template <int Reference, int First, int Second>
void StoreRow(const RowLevels& levels, uint8_t* __restrict row, int width,
              const std::array<const uint8_t*, 3>& lookups) {
    const uint8_t* __restrict toReference = lookups[Reference];
    const uint8_t* __restrict toFirst = lookups[First];
    const uint8_t* __restrict toSecond = lookups[Second];
    const uint8_t* reference = levels.reference.data();
    const uint8_t* first = levels.first.data();
    const uint8_t* second = levels.second.data();
#pragma GCC unroll 4
    for (int x = 0; x < width; ++x) {
        uint8_t* px = row + 3 * x;
        px[Reference] = toReference[reference[x]];
        px[First] = toFirst[first[x]];
        px[Second] = toSecond[second[x]];
    }
}

constexpr ToneLookup kUnchanged = [] {
    ToneLookup lookup{};
    for (int v = 0; v < 256; ++v) lookup[v] = static_cast<uint8_t>(v);
    return lookup;
}();

void InverseWithLookups(const int16_t* planes, uint8_t* picture, int width, int length,
                        uint8_t referenceChannel, const std::array<const uint8_t*, 3>& lookups,
                        HelperThread* helper, ColourRows rows) {
    const int halfWidth = width / 2;
    const int halfLength = length / 2;
    if (halfWidth == 0 || halfLength == 0) return;
    const size_t pixels = static_cast<size_t>(width) * length;
    const int16_t* chroma1 = planes + pixels;
    const int16_t* chroma2 = chroma1 + pixels / 4;
    auto storeRow = referenceChannel == 0   ? StoreRow<1, 2, 0>
                    : referenceChannel == 1 ? StoreRow<0, 2, 1>
                                            : StoreRow<2, 1, 0>;
    static_assert(OrderFor(0).reference == 1 && OrderFor(1).second == 1 && OrderFor(2).first == 1);
    const ChannelOrder order = OrderFor(referenceChannel);
    std::array<std::array<int32_t, 256>, 3> wordLookups;
    if (rows == ColourRows::kAvx2) {
        for (size_t c = 0; c < 3; ++c) {
            for (size_t v = 0; v < 256; ++v) wordLookups[c][v] = int32_t{lookups[c][v]} << (8 * c);
        }
    }
    const std::array<const int32_t*, 3> avx2Lookups{wordLookups[0].data(), wordLookups[1].data(),
                                                    wordLookups[2].data()};
    // One set of row levels a lane, made when the lane takes its first rows.
    std::array<std::optional<RowLevels>, 2> laneLevels;
    ShareOut(
        IsLarge(width, length) ? helper : nullptr, 0, length, 2, [&](int lane, int begin, int end) {
            if (!laneLevels[lane]) laneLevels[lane].emplace(width);
            RowLevels& levels = *laneLevels[lane];
            for (int y = begin; y < end; ++y) {
                const int16_t* lumaRow = planes + static_cast<size_t>(y) * width;
                // An odd last row likewise reuses the last row of blocks.
                const size_t chromaRow =
                    static_cast<size_t>(std::min(y / 2, halfLength - 1)) * halfWidth;
                uint8_t* row = picture + static_cast<size_t>(y) * width * 3;
                const int16_t* c1 = chroma1 + chromaRow;
                const int16_t* c2 = chroma2 + chromaRow;
                const int done =
                    rows == ColourRows::kAvx512
                        ? RestoreRowWide(lumaRow, c1, c2, width, order, lookups, row)
                    : rows == ColourRows::kAvx2
                        ? RestoreRowAvx2(lumaRow, c1, c2, width, order, avx2Lookups, row)
                        : 0;
                if (done == width) continue;
                LevelsOfRow(lumaRow + done, c1 + done / 2, c2 + done / 2, width - done,
                            halfWidth - done / 2, levels.reference.data(), levels.first.data(),
                            levels.second.data(), levels.chroma1.data(), levels.chroma2.data());
                storeRow(levels, row + 3 * done, width - done, lookups);
            }
        });
}

}  // namespace

void InverseColourTransform(const int16_t* planes, uint8_t* picture, int width, int length,
                            uint8_t referenceChannel, ColourRows rows) {
    InverseWithLookups(planes, picture, width, length, referenceChannel,
                       {kUnchanged.data(), kUnchanged.data(), kUnchanged.data()}, nullptr, rows);
}

void RestoreColours(const int16_t* planes, uint8_t* picture, int width, int length,
                    uint8_t referenceChannel, uint8_t toneSelect, HelperThread* helper,
                    ColourRows rows) {
    const ToneChoice choice = SplitToneSelect(toneSelect);
    InverseWithLookups(planes, picture, width, length, referenceChannel,
                       {ToneExpandTable[choice.red].data(), ToneExpandTable[choice.green].data(),
                        ToneExpandTable[choice.blue].data()},
                       helper, rows);
}

void ExpandTones(uint8_t* picture, int width, int length, uint8_t toneSelect) {
    const ToneChoice choice = SplitToneSelect(toneSelect);
    const ToneLookup& red = ToneExpandTable[choice.red];
    const ToneLookup& green = ToneExpandTable[choice.green];
    const ToneLookup& blue = ToneExpandTable[choice.blue];
    const size_t pixels = static_cast<size_t>(width) * length;
    for (size_t i = 0; i < pixels; ++i) {
        uint8_t* px = picture + 3 * i;
        px[0] = red[px[0]];
        px[1] = green[px[1]];
        px[2] = blue[px[2]];
    }
}

}  // namespace qx
