// Size normalisation, column and row resampling, the focus rectangle and the crop to it.
#pragma once

#include <array>
#include <cstdint>

#include "codec/codec.h"

namespace qx {

// Entries of a resampling position table: the most columns or rows one call may insert or merge.
constexpr int kColourPositionCapacity = 1024;
constexpr int kGreyPositionCapacity = 64;

// Rounds a side to a multiple of 64 below 600 and to a multiple of 128 from 600 up.
int16_t NormaliseSize(int16_t side);

// True when one resampling call can take a side from oldSide to newSide: at most `capacity`
// inserted or merged lines, spread at least one line apart when widening and two when narrowing.
// Equal sides always fit.
bool ResampleFits(int oldSide, int newSide, int capacity);

// Resample an RGB picture (3 bytes per pixel) into a distinct destination block. The caller keeps
// the sizes within ResampleFits(..., kColourPositionCapacity).
void ResampleColumns(const uint8_t* source, uint8_t* destination, int oldWidth, int length,
                     int newWidth);
void ResampleRows(const uint8_t* source, uint8_t* destination, int oldLength, int width,
                  int newLength);

// The same for grey pictures (1 byte per pixel), within kGreyPositionCapacity.
void ResampleColumnsGrey(const uint8_t* source, uint8_t* destination, int oldWidth, int length,
                         int newWidth);
void ResampleRowsGrey(const uint8_t* source, uint8_t* destination, int oldLength, int width,
                      int newLength);

using FocusRectangle = std::array<int32_t, 4>;  // x, y, width, length

// The rectangle two grid cells narrower and shorter than the picture, placed by focusMode 1 ... 9.
// Returns 0 and writes `rect`, or kOddMultiplier / kSizesChange / kUnknownFokus and leaves it.
[[nodiscard]] int ComputeFocusRect(int width, int length, int minBandSize, int focusBorder,
                                   int focusMode, FocusRectangle& rect);

// Moves the rectangle's pixels to the top-left of the same RGB block, makes width and length the
// rectangle's size and clears focusBorder. The rectangle must lie inside the picture.
void CropToRect(uint8_t* picture, int16_t& width, int16_t& length, int16_t& focusBorder,
                const FocusRectangle& rect);

// Crops the normalised picture in WorkBuffer to FocusRect, rescales the source size by the float
// ratios of source to normalised size, and marks the focus as used up (FocusMode 255).
void CropToFocus(CodecState& state, CodecParameters& params);

}  // namespace qx
