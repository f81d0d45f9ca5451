// DecodeCoefficients: rebuilds the component planes from the low-band codes, the side tables
// and the two code streams.
#include <algorithm>
#include <cstring>

#include "codec/codec.h"
#include "codec/coding_buffers.h"
#include "codec/low_band.h"
#include "codec/significance_common.h"
#include "codec/split_work.h"
#include "codec/threshold_schedule.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

// Stores count samples; the first `clear` coefficients are cleared on the way, for the next
// component: one pass over memory, not two.
QX_VECTOR_CLONES void StoreSamplesAndClear(int32_t* __restrict plane, int16_t* __restrict samples,
                                           size_t count, size_t clear, int32_t offset) {
    for (size_t i = 0; i < clear; ++i) {
        samples[i] =
            static_cast<int16_t>(static_cast<uint32_t>(plane[i]) + static_cast<uint32_t>(offset));
        plane[i] = 0;
    }
    for (size_t i = clear; i < count; ++i) {
        samples[i] =
            static_cast<int16_t>(static_cast<uint32_t>(plane[i]) + static_cast<uint32_t>(offset));
    }
}

// Returns false when a pass could not be read. The next component needs `nextCount` coefficients
// cleared, the last one none.
bool DecodeComponent(Codec& codec, int component, int width, int height, size_t nextCount) {
    CodecState& s = codec.state;
    const CoefficientTables& t = codec.tables;
    const size_t count = static_cast<size_t>(width) * height;
    int32_t* plane = codec.CoefficientPlane.data();
    uint8_t* marks = DecoderMarks(codec);
    // Fresh buffers and those a complete decode cleared need no fill; until this one completes,
    // nothing is known to be zero.
    if (codec.ZeroedCount < count) {
        std::fill(plane, plane + count, 0);
        std::memset(marks, 0, count);
    }
    codec.ZeroedCount = 0;

    const int llw = t.LowBandWidth;
    const int llh = t.LowBandHeight;
    const uint8_t* codes = t.LowBandCodes.data() + component * llw * llh;
    for (int y = 0; y < llh; ++y)
        for (int x = 0; x < llw; ++x)
            plane[static_cast<size_t>(y) * width + x] = DecodeLowBandValue(*codes++);

    PassContext p;
    p.plane = plane;
    p.marks = marks;
    p.width = width;
    p.levels = t.LevelCount[component];
    p.component = component;
    p.lowWidth = llw;
    p.lowHeight = llh;
    p.main = &codec.MainCode;
    p.refine = &codec.RefineCode;
    const int trees = 3 * llw * llh;
    int status = kOk;
    for (int tree = 0; tree < trees && status == kOk; ++tree) {
        p.setTree(tree);
        status = RunTreeSchedule(codec.params, t, tree, component, [&](int32_t T, int D) {
            p.setThreshold(T);
            p.D = D;
            return DecodeTreePass(p);
        });
    }
    // A feed's producer is the helper thread, which the wavelet below wants: wait until it has
    // stored every word (it runs well ahead of the trees, so this seldom waits).
    JoinMainCodeFeed(codec);
    if (status) return false;

    PrepareWaveletScratch(codec);
    const int levels = t.LevelCount[component];
    const int filter = codec.params.FirstLevelFilter;
    const SampleTarget target{s.PlaneBuffer.data() + s.PlaneOffset[component],
                              t.LevelOffset[component], nextCount};
    if (!InverseWaveletToSamples(plane, t.LastLevelWidth, t.LastLevelHeight, width, height, levels,
                                 filter, codec.wavelet, target)) {
        InverseWavelet(plane, t.LastLevelWidth, t.LastLevelHeight, width, levels, filter,
                       codec.wavelet);
        ShareSamples(codec.helper(), width, height, [&](size_t first, size_t n) {
            const size_t clear = nextCount > first ? std::min(n, nextCount - first) : 0;
            StoreSamplesAndClear(plane + first, target.samples + first, n, clear, target.offset);
        });
    }
    // A row at a time: short clears stay in the vector stores.
    for (size_t at = 0; at < nextCount; at += static_cast<size_t>(width))
        std::memset(marks + at, 0, std::min(static_cast<size_t>(width), nextCount - at));
    codec.ZeroedCount = std::min(nextCount, count);
    return true;
}

// A decode that ends early leaves the planes it did not reach zero, so a damaged file restores
// the same picture on every run.
void ZeroPlanesFrom(Codec& codec, int first) {
    CodecState& s = codec.state;
    const size_t luma = static_cast<size_t>(s.CodedWidth) * s.CodedLength;
    for (int c = first; c < 3; ++c) {
        const size_t begin = static_cast<size_t>(s.PlaneOffset[c]);
        const size_t size = c == 0 ? luma : luma / 4;
        if (begin + size <= s.PlaneBuffer.size())
            std::fill_n(s.PlaneBuffer.begin() + static_cast<std::ptrdiff_t>(begin), size, 0);
    }
}

}  // namespace

DecodeProblem DecodeCoefficientsQuietly(Codec& codec) {
    codec.MainCode.rewind();
    codec.RefineCode.rewind();
    if (codec.params.LowBandMode == 1 && codec.params.Quality < 0) {
        ZeroPlanesFrom(codec, 0);
        return DecodeProblem::kQualityBelowZero;
    }
    CodecState& s = codec.state;
    const int width = s.CodedWidth;
    const int height = s.CodedLength;
    DecodeProblem problem = DecodeProblem::kNone;
    for (int c = 0; c < codec.params.ComponentCount; ++c) {
        s.Width = static_cast<int16_t>(c == 0 ? width : width >> 1);
        s.Length = static_cast<int16_t>(c == 0 ? height : height >> 1);
        const bool last = c + 1 == codec.params.ComponentCount;
        const size_t next = last ? 0 : static_cast<size_t>(width >> 1) * (height >> 1);
        if (!DecodeComponent(codec, c, s.Width, s.Length, next)) {
            ZeroPlanesFrom(codec, c);
            problem = DecodeProblem::kInvalidCode;
            break;
        }
    }
    s.Width = static_cast<int16_t>(width);
    s.Length = static_cast<int16_t>(height);
    return problem;
}

void ShowDecodeProblem(Codec& codec, DecodeProblem problem) {
    switch (problem) {
        case DecodeProblem::kNone:
            return;
        case DecodeProblem::kQualityBelowZero:
            codec.hooks->showMessage("Quality<0");
            return;
        case DecodeProblem::kInvalidCode:
            codec.hooks->showMessage("Invalide Code");
            return;
    }
}

void DecodeCoefficients(Codec& codec) {
    ShowDecodeProblem(codec, DecodeCoefficientsQuietly(codec));
}

}  // namespace qx
