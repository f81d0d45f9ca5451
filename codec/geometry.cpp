// Size normalisation, resampling by single inserted or merged lines, the focus rectangle and the
// crop to it.
#include "codec/geometry.h"

#include <cstdlib>
#include <cstring>

#include "codec/coding_buffers.h"

namespace qx {
namespace {

using PositionTable = std::array<uint16_t, kColourPositionCapacity>;

// Fills the positions of the d = |newSide - oldSide| lines to insert or merge, spread evenly with
// step (oldSide - 1) / d starting half a step in; returns d.
int FillPositions(int oldSide, int newSide, PositionTable& positions) {
    const int count = std::abs(newSide - oldSide);
    const int step = (oldSide - 1) / count;
    int position = step / 2;
    for (int j = 0; j < count; ++j, position += step) {
        positions[j] = static_cast<uint16_t>(position);
    }
    return count;
}

void AverageLines(const uint8_t* a, const uint8_t* b, uint8_t* out, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>((a[i] + b[i]) >> 1);
    }
}

// Resamples one sequence of oldCount lines of lineBytes each into newCount lines. Widening
// appends the average of lines p and p + 1 after each line p of the table; narrowing replaces
// lines p and p + 1 by their average.
void ResampleSequence(const uint8_t* in, uint8_t* out, int oldCount, int newCount, size_t lineBytes,
                      const PositionTable& positions, int count) {
    const bool widening = newCount > oldCount;
    int from = 0;
    for (int j = 0; j < count; ++j) {
        const int p = positions[j];
        const int run = widening ? p + 1 - from : p - from;
        std::memcpy(out, in + from * lineBytes, run * lineBytes);
        out += run * lineBytes;
        AverageLines(in + p * lineBytes, in + (p + 1) * lineBytes, out, lineBytes);
        out += lineBytes;
        from = widening ? p + 1 : p + 2;
    }
    std::memcpy(out, in + from * lineBytes, (oldCount - from) * lineBytes);
}

void ResampleColumnsOf(const uint8_t* source, uint8_t* destination, int oldWidth, int length,
                       int newWidth, size_t pixelBytes) {
    if (oldWidth == newWidth) return;
    PositionTable positions;
    const int count = FillPositions(oldWidth, newWidth, positions);
    const size_t inRow = oldWidth * pixelBytes;
    const size_t outRow = newWidth * pixelBytes;
    for (int y = 0; y < length; ++y) {
        ResampleSequence(source + y * inRow, destination + y * outRow, oldWidth, newWidth,
                         pixelBytes, positions, count);
    }
}

void ResampleRowsOf(const uint8_t* source, uint8_t* destination, int oldLength, int width,
                    int newLength, size_t pixelBytes) {
    if (oldLength == newLength) return;
    PositionTable positions;
    const int count = FillPositions(oldLength, newLength, positions);
    ResampleSequence(source, destination, oldLength, newLength, width * pixelBytes, positions,
                     count);
}

}  // namespace

int16_t NormaliseSize(int16_t side) {
    const int s = side;
    return static_cast<int16_t>(s < 600 ? (s + 32) / 64 * 64 : (s + 64) / 128 * 128);
}

bool ResampleFits(int oldSide, int newSide, int capacity) {
    if (oldSide == newSide) return true;
    if (oldSide < 2 || newSide < 1) return false;
    const int count = std::abs(newSide - oldSide);
    if (count > capacity) return false;
    const int step = (oldSide - 1) / count;
    return newSide > oldSide ? step >= 1 : step >= 2;
}

void ResampleColumns(const uint8_t* source, uint8_t* destination, int oldWidth, int length,
                     int newWidth) {
    ResampleColumnsOf(source, destination, oldWidth, length, newWidth, 3);
}

void ResampleRows(const uint8_t* source, uint8_t* destination, int oldLength, int width,
                  int newLength) {
    ResampleRowsOf(source, destination, oldLength, width, newLength, 3);
}

void ResampleColumnsGrey(const uint8_t* source, uint8_t* destination, int oldWidth, int length,
                         int newWidth) {
    ResampleColumnsOf(source, destination, oldWidth, length, newWidth, 1);
}

void ResampleRowsGrey(const uint8_t* source, uint8_t* destination, int oldLength, int width,
                      int newLength) {
    ResampleRowsOf(source, destination, oldLength, width, newLength, 1);
}

int ComputeFocusRect(int width, int length, int minBandSize, int focusBorder, int focusMode,
                     FocusRectangle& rect) {
    // The focus grid is the low band of the wavelet.
    const WaveletGeometry grid = ComputeWaveletGeometry(width, length, minBandSize);
    const int gridWidth = grid.lowWidth;
    const int gridLength = grid.lowHeight;
    if (gridWidth >= 32 || gridLength >= 32) return kOddMultiplier;
    if (gridWidth < 4 || gridLength < 4) return kSizesChange;

    const int cellWidth = width / gridWidth;
    const int cellLength = length / gridLength;
    const int bottom = 2 * cellLength - (focusBorder == 32 ? 32 : 0);
    int x = 0;
    int y = 0;
    switch (focusMode) {
        case 1:
            x = cellWidth, y = cellLength;
            break;
        case 2:
            x = cellWidth, y = 0;
            break;
        case 3:
            x = 2 * cellWidth, y = 0;
            break;
        case 4:
            x = 2 * cellWidth, y = cellLength;
            break;
        case 5:
            x = 2 * cellWidth, y = bottom;
            break;
        case 6:
            x = cellWidth, y = bottom;
            break;
        case 7:
            x = 0, y = bottom;
            break;
        case 8:
            x = 0, y = cellLength;
            break;
        case 9:
            x = 0, y = 0;
            break;
        default:
            return kUnknownFokus;
    }
    rect = {x, y, (gridWidth - 2) * cellWidth, (gridLength - 2) * cellLength};
    return kOk;
}

void CropToRect(uint8_t* picture, int16_t& width, int16_t& length, int16_t& focusBorder,
                const FocusRectangle& rect) {
    const auto [x0, y0, w, h] = rect;
    const size_t inRow = static_cast<size_t>(width) * 3;
    const size_t outRow = static_cast<size_t>(w) * 3;
    // Every destination row starts at or before its source row, so an ascending walk never
    // overwrites pixels it has still to move.
    for (int row = 0; row < h; ++row) {
        std::memmove(picture + row * outRow, picture + (y0 + row) * inRow + x0 * 3, outRow);
    }
    width = static_cast<int16_t>(w);
    length = static_cast<int16_t>(h);
    focusBorder = 0;
}

void CropToFocus(CodecState& state, CodecParameters& params) {
    const float scaleX = static_cast<float>(state.SourceWidth) / static_cast<float>(state.Width);
    const float scaleY = static_cast<float>(state.SourceLength) / static_cast<float>(state.Length);
    CropToRect(state.WorkBuffer.data(), state.Width, state.Length, params.FocusBorder,
               state.FocusRect);
    state.SourceWidth = static_cast<int16_t>(static_cast<float>(state.Width) * scaleX);
    state.SourceLength = static_cast<int16_t>(static_cast<float>(state.Length) * scaleY);
    state.FocusRect = {0, 0, state.Width, state.Length};
    params.FocusMode = 255;
}

}  // namespace qx
