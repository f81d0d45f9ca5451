// The 52-byte title record at the start of every compressed file, and its exchange with the
// codec's records.
//
//  offset size field                  offset size field
//   0     2    identifier "XQ"         20     4    PackedMainCodeSize (L)
//   2     1    FirstLevelFilter        24     4    RefineCodeWordCount (S)
//   3     1    LowBandMode             28     4    LevelOffset[0]
//   4     2    CodedWidth              32     4    LevelOffset[1]
//   6     2    CodedLength             36     4    LevelOffset[2]
//   8     2    SourceWidth             40     4    CompressionTime
//  10     2    SourceLength            44     1    ChromaShift
//  12     1    ThresholdScaleFlags     45     1    GreyFlag
//  13     1    FocusBorder      (i8)   46     1    ReferenceChannel
//  14     1    LevelCount[0]    (i8)   47     1    ExtraRefinementFlag
//  15     1    CompressionMode         48     1    CropFlag
//  16     1    Quality          (i8)   49     1    ToneSelect
//  17     1    QualityBase             50     2    reserved, 0
//  18     1    LowBandWidth     (i8)
//  19     1    LowBandHeight    (i8)
//
// Integers are little-endian.
#pragma once

#include <array>
#include <cstdint>

#include "codec/codec.h"

namespace qx {

constexpr int kTitleSize = 52;
constexpr uint16_t kTitleIdentifier = 0x5158;  // the bytes "X", "Q"

struct FileTitle {
    uint16_t Identifier = kTitleIdentifier;
    uint8_t FirstLevelFilter = 0;
    uint8_t LowBandMode = 0;
    int16_t CodedWidth = 0;
    int16_t CodedLength = 0;
    int16_t SourceWidth = 0;
    int16_t SourceLength = 0;
    uint8_t ThresholdScaleFlags = 0;
    int8_t FocusBorder = 0;
    int8_t LevelCount = 0;
    uint8_t CompressionMode = 0;
    int8_t Quality = 0;
    uint8_t QualityBase = 0;
    int8_t LowBandWidth = 0;
    int8_t LowBandHeight = 0;
    int32_t PackedMainCodeSize = 0;
    int32_t RefineCodeWordCount = 0;
    std::array<int32_t, 3> LevelOffset{};
    uint32_t CompressionTime = 0;
    uint8_t ChromaShift = 0;
    uint8_t GreyFlag = 0;
    uint8_t ReferenceChannel = 0;
    uint8_t ExtraRefinementFlag = 0;
    uint8_t CropFlag = 0;
    uint8_t ToneSelect = 0;
};

using TitleBytes = std::array<uint8_t, kTitleSize>;

TitleBytes SerialiseTitle(const FileTitle& title);
FileTitle ParseTitle(const uint8_t* bytes);

// The title fields that the codec's records carry. The stream sizes and the time are left 0 for
// the image builder to fill in; 16-bit settings contribute their low byte.
FileTitle PackTitle(const Codec& codec);

// Restores the codec's sizes, parameters and derived layout from a title: coded size as the
// current size, 8-bit fields sign-extended, one component when GreyFlag is set, ChromaShift 1
// whatever the title says, chroma with one level fewer, inverse start at twice the low band, and
// the plane offsets.
void UnpackTitle(const FileTitle& title, Codec& codec);

}  // namespace qx
