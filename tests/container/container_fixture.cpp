#include "container/container_fixture.h"

#include <random>

#include "codec/coding_buffers.h"
#include "codec/geometry.h"
#include "support/test_support.h"

namespace qxtest {

qx::Codec EncodedCodec(int sourceWidth, int sourceLength, uint32_t mainEnd, uint32_t refineEnd,
                       bool grey) {
    qx::Codec codec;
    auto& s = codec.state;
    s.SourceWidth = static_cast<int16_t>(sourceWidth);
    s.SourceLength = static_cast<int16_t>(sourceLength);
    s.CodedWidth = static_cast<int16_t>(qx::NormaliseSize(static_cast<int16_t>(sourceWidth)));
    s.CodedLength = static_cast<int16_t>(qx::NormaliseSize(static_cast<int16_t>(sourceLength)));
    s.Width = s.CodedWidth;
    s.Length = s.CodedLength;
    codec.params.GreyFlag = grey ? 1 : 0;
    codec.params.ComponentCount = grey ? 1 : 3;
    codec.params.ReferenceChannel = 1;
    codec.params.ToneSelect = 0x2A;

    const qx::WaveletGeometry g = qx::ComputeWaveletGeometry(s.CodedWidth, s.CodedLength, 4);
    codec.tables.LevelCount = {static_cast<int16_t>(g.levels), static_cast<int16_t>(g.levels - 1),
                               static_cast<int16_t>(g.levels - 1)};
    codec.tables.LowBandWidth = static_cast<int16_t>(g.lowWidth);
    codec.tables.LowBandHeight = static_cast<int16_t>(g.lowHeight);

    std::mt19937 rng(sourceWidth * 7919 + sourceLength);
    for (auto& v : codec.tables.LowBandCodes) v = static_cast<uint8_t>(rng());
    for (auto& v : codec.tables.MaxThresholds) v = static_cast<uint16_t>(8u << (rng() % 13));
    for (auto* table :
         {&codec.tables.BlockMeans, &codec.tables.BlockPeaks, &codec.tables.BlockDeviations}) {
        for (auto& v : *table) v = static_cast<uint16_t>(rng() % 256);
    }

    if (qx::AllocateCodingBuffers(codec, s.CodedWidth, s.CodedLength) != qx::kOk) std::abort();
    qx::EmptyCodeStreams(codec);
    // Skewed like a real MainCode: mostly small byte values.
    for (uint32_t k = 0; k <= mainEnd; ++k) {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b)
            word = (word << 8) | (rng() % 8 == 0 ? rng() & 0xFF : rng() & 3);
        codec.MainCode.words[k] = word;
    }
    for (uint32_t k = 0; k <= refineEnd; ++k)
        codec.RefineCode.words[k] = static_cast<uint32_t>(rng());
    // The last word's unused low bits are 0.
    codec.MainCode.words[mainEnd] &= 0xF8000000u;
    codec.RefineCode.words[refineEnd] &= 0xF8000000u;
    codec.MainCodeEnd = {mainEnd, 5};
    codec.RefineCodeEnd = {refineEnd, 5};
    return codec;
}

std::vector<uint8_t> ConformanceBytes(const std::string& name) {
    return ReadFileBytes(ConformancePath(name));
}

}  // namespace qxtest
