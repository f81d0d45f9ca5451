// Laying the codec's side tables and streams out as the body of a compressed file, and reading
// them back.
#include "container/body_layout.h"

#include <algorithm>
#include <bit>

namespace qx {

namespace {

// Exponent of the highest set bit; 0 for 0.
uint8_t ThresholdExponent(uint16_t v) {
    return v == 0 ? 0 : static_cast<uint8_t>(std::bit_width(v) - 1);
}

uint8_t ClampToByte(uint16_t v) {
    return static_cast<uint8_t>(std::min<uint16_t>(v, 255));
}

class ByteWriter {
  public:
    explicit ByteWriter(std::span<uint8_t> out) : out_(out) {}
    void u8(uint8_t v) { out_[pos_++] = v; }
    void u16be(uint16_t v) {
        u8(static_cast<uint8_t>(v >> 8));
        u8(static_cast<uint8_t>(v));
    }
    void u32be(uint32_t v) {
        u16be(static_cast<uint16_t>(v >> 16));
        u16be(static_cast<uint16_t>(v));
    }
    // Bytes already in their place (the packer may write there directly) stay as they are.
    void bytes(std::span<const uint8_t> in) {
        uint8_t* to = out_.data() + pos_;
        if (in.data() != to) std::copy(in.begin(), in.end(), to);
        pos_ += in.size();
    }

  private:
    std::span<uint8_t> out_;
    size_t pos_ = 0;
};

class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> in) : in_(in) {}
    uint8_t u8() { return in_[pos_++]; }
    uint16_t u16be() {
        const uint16_t hi = u8();
        return static_cast<uint16_t>((hi << 8) | u8());
    }
    uint32_t u32be() {
        const uint32_t hi = u16be();
        return (hi << 16) | u16be();
    }
    std::span<const uint8_t> take(size_t n) {
        auto part = in_.subspan(pos_, n);
        pos_ += n;
        return part;
    }

  private:
    std::span<const uint8_t> in_;
    size_t pos_ = 0;
};

}  // namespace

BodyLayout LayoutOf(const FileTitle& title) {
    BodyLayout layout;
    layout.components = title.GreyFlag != 0 ? 1 : 3;
    layout.lowWidth = title.LowBandWidth;
    layout.lowHeight = title.LowBandHeight;
    layout.packedSize = std::max<int64_t>(title.PackedMainCodeSize, 0);
    layout.refineWords = std::max<int64_t>(title.RefineCodeWordCount, 0);
    return layout;
}

void AssembleBody(const BodyLayout& layout, const CoefficientTables& tables,
                  std::span<const uint8_t> packed, std::span<const uint32_t> refineWords,
                  const CumFreqTable& cumFreq, std::span<uint8_t> body) {
    ByteWriter w(body);
    const size_t trees = static_cast<size_t>(layout.trees());

    w.bytes(std::span(tables.LowBandCodes).first(static_cast<size_t>(layout.lowBandBytes())));

    for (int c = 0; c < layout.components; ++c) {
        const uint16_t* bounds = &tables.MaxThresholds[static_cast<size_t>(c) * kTreesPerComponent];
        for (size_t t = 0; t < trees; t += 2) {
            const uint8_t high = ThresholdExponent(bounds[t]);
            const uint8_t low = t + 1 < trees ? ThresholdExponent(bounds[t + 1]) : 0;
            w.u8(static_cast<uint8_t>((high << 4) | low));
        }
    }

    for (const uint16_t* row :
         {&tables.BlockMeans[0], &tables.BlockMeans[kTreesPerComponent], &tables.BlockPeaks[0],
          &tables.BlockPeaks[kTreesPerComponent], &tables.BlockDeviations[0]}) {
        for (size_t t = 0; t < trees; ++t) w.u8(ClampToByte(row[t]));
    }

    w.bytes(packed.first(static_cast<size_t>(layout.packedSize)));
    for (uint32_t word : refineWords.first(static_cast<size_t>(layout.refineWords))) w.u32be(word);
    for (int i = 1; i <= 256; ++i) w.u16be(cumFreq.at(i));
}

std::span<const uint8_t> SplitBody(const BodyLayout& layout, std::span<const uint8_t> body,
                                   CoefficientTables& tables, std::span<uint32_t> refineWords,
                                   CumFreqTable& cumFreq) {
    ByteReader r(body);
    const size_t trees = static_cast<size_t>(layout.trees());

    auto lowBand = r.take(static_cast<size_t>(layout.lowBandBytes()));
    std::copy(lowBand.begin(), lowBand.end(), tables.LowBandCodes.begin());

    for (int c = 0; c < layout.components; ++c) {
        uint16_t* bounds = &tables.MaxThresholds[static_cast<size_t>(c) * kTreesPerComponent];
        for (size_t t = 0; t < trees; t += 2) {
            const uint8_t byte = r.u8();
            bounds[t] = static_cast<uint16_t>(1u << (byte >> 4));
            if (t + 1 < trees) bounds[t + 1] = static_cast<uint16_t>(1u << (byte & 0x0F));
        }
    }

    for (uint16_t* row :
         {&tables.BlockMeans[0], &tables.BlockMeans[kTreesPerComponent], &tables.BlockPeaks[0],
          &tables.BlockPeaks[kTreesPerComponent], &tables.BlockDeviations[0]}) {
        for (size_t t = 0; t < trees; ++t) row[t] = r.u8();
    }

    auto packed = r.take(static_cast<size_t>(layout.packedSize));
    for (size_t k = 0; k < static_cast<size_t>(layout.refineWords); ++k) {
        refineWords[k] = r.u32be();
    }
    cumFreq.at(-1) = 0;
    cumFreq.at(0) = 1;
    for (int i = 1; i <= 256; ++i) cumFreq.at(i) = r.u16be();
    return packed;
}

}  // namespace qx
