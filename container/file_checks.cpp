// Checks that keep a damaged compressed file from driving the reader or the decoder outside
// their tables and buffers.
#include "container/file_checks.h"

#include "codec/coding_buffers.h"
#include "codec/geometry.h"
#include "container/body_layout.h"

namespace qx {

namespace {
constexpr int64_t kBodySlack = 65536;
constexpr int kFloorTableSize = 10;
constexpr int kMaxReferenceChannel = 2;
}  // namespace

bool TitleIsConsistent(const FileTitle& title, int minBandSize) {
    if (title.SourceWidth < kMinPictureSide || title.SourceLength < kMinPictureSide) return false;
    if (title.CodedWidth != NormaliseSize(title.SourceWidth) ||
        title.CodedLength != NormaliseSize(title.SourceLength)) {
        return false;
    }
    const WaveletGeometry g =
        ComputeWaveletGeometry(title.CodedWidth, title.CodedLength, minBandSize);
    if (title.LevelCount != g.levels || title.LowBandWidth != g.lowWidth ||
        title.LowBandHeight != g.lowHeight) {
        return false;
    }
    const int floorIndex = int{title.QualityBase} - title.Quality - 1;
    if (floorIndex < 0 || floorIndex >= kFloorTableSize) return false;
    return title.ReferenceChannel <= kMaxReferenceChannel;
}

bool BodySizeFits(const FileTitle& title, int64_t bodyLength) {
    const int64_t pixels = int64_t{title.CodedWidth} * title.CodedLength;
    if (title.PackedMainCodeSize < 0 || title.RefineCodeWordCount < 0) return false;
    if (4 * int64_t{title.RefineCodeWordCount} > pixels) return false;
    if (bodyLength > pixels + kBodySlack) return false;
    return LayoutOf(title).length() <= bodyLength;
}

bool CumFreqIsValid(const CumFreqTable& cumFreq) {
    if (cumFreq.at(1) < 1) return false;
    for (int i = 2; i <= 256; ++i) {
        if (cumFreq.at(i) < cumFreq.at(i - 1)) return false;
    }
    return cumFreq.total() < CumFreqTable::kMaxTotal;
}

}  // namespace qx
