// Field-by-field conversion of the title record to and from its 52 bytes, and to and from the
// codec's records.
#include "container/file_title.h"

namespace qx {

namespace {

class TitleWriter {
  public:
    explicit TitleWriter(TitleBytes& out) : out_(out) {}
    void u8(uint8_t v) { out_[pos_++] = v; }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }

  private:
    TitleBytes& out_;
    int pos_ = 0;
};

class TitleReader {
  public:
    explicit TitleReader(const uint8_t* in) : in_(in) {}
    uint8_t u8() { return in_[pos_++]; }
    int8_t i8() { return static_cast<int8_t>(u8()); }
    uint16_t u16() {
        uint16_t lo = u8();
        return static_cast<uint16_t>(lo | (u8() << 8));
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | (static_cast<uint32_t>(u16()) << 16);
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }

  private:
    const uint8_t* in_;
    int pos_ = 0;
};

int8_t LowByte(int16_t v) {
    return static_cast<int8_t>(static_cast<uint8_t>(v & 0xFF));
}

}  // namespace

TitleBytes SerialiseTitle(const FileTitle& t) {
    TitleBytes bytes{};
    TitleWriter w(bytes);
    w.u16(t.Identifier);
    w.u8(t.FirstLevelFilter);
    w.u8(t.LowBandMode);
    w.u16(static_cast<uint16_t>(t.CodedWidth));
    w.u16(static_cast<uint16_t>(t.CodedLength));
    w.u16(static_cast<uint16_t>(t.SourceWidth));
    w.u16(static_cast<uint16_t>(t.SourceLength));
    w.u8(t.ThresholdScaleFlags);
    w.u8(static_cast<uint8_t>(t.FocusBorder));
    w.u8(static_cast<uint8_t>(t.LevelCount));
    w.u8(t.CompressionMode);
    w.u8(static_cast<uint8_t>(t.Quality));
    w.u8(t.QualityBase);
    w.u8(static_cast<uint8_t>(t.LowBandWidth));
    w.u8(static_cast<uint8_t>(t.LowBandHeight));
    w.u32(static_cast<uint32_t>(t.PackedMainCodeSize));
    w.u32(static_cast<uint32_t>(t.RefineCodeWordCount));
    for (int32_t offset : t.LevelOffset) w.u32(static_cast<uint32_t>(offset));
    w.u32(t.CompressionTime);
    w.u8(t.ChromaShift);
    w.u8(t.GreyFlag);
    w.u8(t.ReferenceChannel);
    w.u8(t.ExtraRefinementFlag);
    w.u8(t.CropFlag);
    w.u8(t.ToneSelect);
    w.u16(0);  // reserved
    return bytes;
}

FileTitle ParseTitle(const uint8_t* bytes) {
    TitleReader r(bytes);
    FileTitle t;
    t.Identifier = r.u16();
    t.FirstLevelFilter = r.u8();
    t.LowBandMode = r.u8();
    t.CodedWidth = r.i16();
    t.CodedLength = r.i16();
    t.SourceWidth = r.i16();
    t.SourceLength = r.i16();
    t.ThresholdScaleFlags = r.u8();
    t.FocusBorder = r.i8();
    t.LevelCount = r.i8();
    t.CompressionMode = r.u8();
    t.Quality = r.i8();
    t.QualityBase = r.u8();
    t.LowBandWidth = r.i8();
    t.LowBandHeight = r.i8();
    t.PackedMainCodeSize = r.i32();
    t.RefineCodeWordCount = r.i32();
    for (int32_t& offset : t.LevelOffset) offset = r.i32();
    t.CompressionTime = r.u32();
    t.ChromaShift = r.u8();
    t.GreyFlag = r.u8();
    t.ReferenceChannel = r.u8();
    t.ExtraRefinementFlag = r.u8();
    t.CropFlag = r.u8();
    t.ToneSelect = r.u8();
    return t;
}

FileTitle PackTitle(const Codec& codec) {
    const CodecState& s = codec.state;
    const CodecParameters& p = codec.params;
    const CoefficientTables& tables = codec.tables;
    FileTitle t;
    t.FirstLevelFilter = p.FirstLevelFilter;
    t.LowBandMode = p.LowBandMode;
    t.CodedWidth = s.CodedWidth;
    t.CodedLength = s.CodedLength;
    t.SourceWidth = s.SourceWidth;
    t.SourceLength = s.SourceLength;
    t.ThresholdScaleFlags = tables.ThresholdScaleFlags;
    t.FocusBorder = LowByte(p.FocusBorder);
    t.LevelCount = LowByte(tables.LevelCount[0]);
    t.CompressionMode = p.CompressionMode;
    t.Quality = LowByte(p.Quality);
    t.QualityBase = p.QualityBase;
    t.LowBandWidth = LowByte(tables.LowBandWidth);
    t.LowBandHeight = LowByte(tables.LowBandHeight);
    t.LevelOffset = tables.LevelOffset;
    t.ChromaShift = p.ChromaShift;
    t.GreyFlag = p.GreyFlag;
    t.ReferenceChannel = p.ReferenceChannel;
    t.ExtraRefinementFlag = p.ExtraRefinementFlag;
    t.CropFlag = p.CropFlag;
    t.ToneSelect = p.ToneSelect;
    return t;
}

void UnpackTitle(const FileTitle& t, Codec& codec) {
    CodecState& s = codec.state;
    CodecParameters& p = codec.params;
    CoefficientTables& tables = codec.tables;

    s.CodedWidth = t.CodedWidth;
    s.CodedLength = t.CodedLength;
    s.Width = t.CodedWidth;
    s.Length = t.CodedLength;
    s.SourceWidth = t.SourceWidth;
    s.SourceLength = t.SourceLength;

    p.FirstLevelFilter = t.FirstLevelFilter;
    p.LowBandMode = t.LowBandMode;
    p.FocusBorder = t.FocusBorder;
    p.CompressionMode = t.CompressionMode;
    p.Quality = t.Quality;
    p.QualityBase = t.QualityBase;
    p.GreyFlag = t.GreyFlag;
    p.ComponentCount = t.GreyFlag != 0 ? 1 : 3;
    p.ChromaShift = 1;
    p.ReferenceChannel = t.ReferenceChannel;
    p.ExtraRefinementFlag = t.ExtraRefinementFlag;
    p.CropFlag = t.CropFlag;
    p.ToneSelect = t.ToneSelect;

    tables.ThresholdScaleFlags = t.ThresholdScaleFlags;
    tables.LevelCount[0] = t.LevelCount;
    tables.LevelCount[1] = static_cast<int16_t>(t.LevelCount - p.ChromaShift);
    tables.LevelCount[2] = tables.LevelCount[1];
    tables.LevelOffset = t.LevelOffset;
    tables.LowBandWidth = t.LowBandWidth;
    tables.LowBandHeight = t.LowBandHeight;
    tables.LastLevelWidth = static_cast<int16_t>(2 * t.LowBandWidth);
    tables.LastLevelHeight = static_cast<int16_t>(2 * t.LowBandHeight);

    // A damaged title can hold any sizes; the offsets only matter once the reader accepted them.
    const int64_t pixels = int64_t{t.CodedWidth} * t.CodedLength;
    s.PlaneOffset = {0, static_cast<int32_t>(pixels),
                     static_cast<int32_t>(pixels + (pixels >> (2 * p.ChromaShift)))};
}

}  // namespace qx
