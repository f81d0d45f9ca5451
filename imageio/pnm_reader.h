// Reads the portable pixmap and graymap formats: binary P6 (colour) and P5 (grey), and their
// plain-text forms P3 and P2, with any maximum sample value up to 65535. The header is read
// first, so that the caller can check the size and that the file is long enough before any
// picture memory is allocated; the samples are then scaled to 8 bits and delivered as red,
// green, blue rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qx {

struct PnmHeader {
    int kind = 0;  // 2, 3, 5 or 6, the digit after "P"
    int width = 0;
    int height = 0;
    int maxValue = 0;
    size_t rasterOffset = 0;  // where the samples start

    bool plain() const { return kind == 2 || kind == 3; }
    int channels() const { return kind == 3 || kind == 6 ? 3 : 1; }
    // Bytes the samples of a binary file take; the least a plain file can hold them in.
    int64_t rasterBytes() const;
};

enum class PnmStatus {
    Ok,
    NotPnm,     // no "P2", "P3", "P5" or "P6" at the start
    BadHeader,  // a missing, zero or out-of-range size or maximum value
    Truncated,  // the samples run past the end of the bytes given
    BadSample,  // a plain file holds something other than a number where a sample belongs
};

// Sides above this are refused as a bad header; real limits are the caller's.
inline constexpr int kMaxPnmSide = 1 << 20;

// Parses the header from the first bytes of a file (comments included, at most
// kMaxPnmHeadBytes of them are looked at).
inline constexpr size_t kMaxPnmHeadBytes = 4096;
PnmStatus ParsePnmHeader(std::span<const uint8_t> head, PnmHeader& header);

// Writes width x height x 3 bytes to rgb from the samples that start at raster (the file's
// bytes from header.rasterOffset on). Reads nothing beyond raster. rgb must be large enough.
PnmStatus DecodePnm(const PnmHeader& header, std::span<const uint8_t> raster,
                    std::span<uint8_t> rgb);

}  // namespace qx
