// The body of a compressed file: ten sections laid out back to back after the title.
//
//  no. section                     bytes
//   1  LowBandCodes                P x C x R        component c at c x C x R, row by row
//   2  MaxThresholds exponents     P x ceil(N / 2)  4 bits each, high half first; each
//                                                   component starts on a fresh byte
//   3  BlockMeans, row 0           N                component 0; values above 255 kept as 255
//   4  BlockMeans, row 1           N                (entries 1024 ...)
//   5  BlockPeaks, row 0           N
//   6  BlockPeaks, row 1           N
//   7  BlockDeviations, row 0      N
//   8  packed MainCode             L                packer output and two 0 bytes
//   9  RefineCode                  4 x S            each word most significant byte first
//  10  CumFreq[1 ... 256]          512              each entry most significant byte first
//
// P: 1 for a grey file, else 3. C x R: the low band. N = 3 x C x R trees per component.
#pragma once

#include <cstdint>
#include <span>

#include "codec/codec.h"
#include "container/file_title.h"
#include "container/main_code_packer.h"

namespace qx {

struct BodyLayout {
    int components = 3;
    int lowWidth = 0;
    int lowHeight = 0;
    int64_t packedSize = 0;   // L
    int64_t refineWords = 0;  // S

    int64_t lowBandBytes() const { return int64_t{components} * lowWidth * lowHeight; }
    int64_t trees() const { return 3 * int64_t{lowWidth} * lowHeight; }
    int64_t thresholdBytesPerComponent() const { return (trees() + 1) / 2; }
    // Sizes of sections 1 ... 7, which come before the streams.
    int64_t tableBytes() const {
        return lowBandBytes() + components * thresholdBytesPerComponent() + 5 * trees();
    }
    int64_t length() const { return tableBytes() + packedSize + 4 * refineWords + 512; }
};

BodyLayout LayoutOf(const FileTitle& title);

// Writes sections 1 to 10 into body, which holds exactly layout.length() bytes; packed holds
// layout.packedSize bytes (it may be section 8 of body already) and refineWords
// layout.refineWords words.
void AssembleBody(const BodyLayout& layout, const CoefficientTables& tables,
                  std::span<const uint8_t> packed, std::span<const uint32_t> refineWords,
                  const CumFreqTable& cumFreq, std::span<uint8_t> body);

// Reads sections 1 to 10 back: the tables, the RefineCode words (refineWords holds at least
// layout.refineWords words) and the frequency table. body holds at least layout.length() bytes.
// Returns section 8.
std::span<const uint8_t> SplitBody(const BodyLayout& layout, std::span<const uint8_t> body,
                                   CoefficientTables& tables, std::span<uint32_t> refineWords,
                                   CumFreqTable& cumFreq);

}  // namespace qx
