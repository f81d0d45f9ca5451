// Reads one significance pass back and places the reconstructed values in the plane.
#include "codec/bit_stream.h"
#include "codec/significance_common.h"

namespace qx {
namespace {

// Marks the node and reads its refinement symbol; false after a failed read.
bool DecodeValue(PassContext& p, int px, int py, int level) {
    const size_t at = static_cast<size_t>(py) * p.width + px;
    p.marks[at] = kMarked;
    uint32_t r;
    if (level == 1 && p.component == 0) {
        r = GetBits(*p.refine, 1) * 2 + 1;  // the magnitude is always the upper one
    } else {
        r = GetBits(*p.refine, 2);
    }
    if (p.refine->failed) return false;
    const int32_t lower = (p.T15 + p.T) >> 1;
    const int32_t upper = p.T + (p.T15 >> 1);
    // Bit 0 picks the magnitude and bit 1 the sign; selects rather than a jump table, whose
    // target the processor cannot foresee.
    const int32_t magnitude = (r & 1) ? upper : lower;
    p.plane[at] = (r & 2) ? -magnitude : magnitude;
    return true;
}

bool IsMarked(const PassContext& p, int px, int py) {
    return p.marks[static_cast<size_t>(py) * p.width + px] == kMarked;
}

constexpr int kFailedRead = 1;

}  // namespace

int DecodeTreePass(PassContext& p) {
    int level = p.levels;
    int px = p.rootX;
    int py = p.rootY;
    const int lowest = p.D + 1;
    if (!IsMarked(p, px, py)) {
        const uint32_t s = GetBits(*p.main, level == lowest ? 1 : 2);
        if (p.main->failed) return kFailedRead;
        if (s & 1) {
            if (!DecodeValue(p, px, py, level)) return kFailedRead;
        }
        if (s < 2) return kOk;
    }
    for (;;) {
        px *= 2;
        py *= 2;
        --level;
        if (level < lowest) return kFailedRead;
        if (level == lowest) {
            for (int q = 0; q < 4; ++q) {
                const int x = px + (q & 1);
                const int y = py + (q >> 1);
                if (IsMarked(p, x, y)) continue;
                const uint32_t bit = GetBits(*p.main, 1);
                if (p.main->failed) return kFailedRead;
                if (bit && !DecodeValue(p, x, y, level)) return kFailedRead;
            }
            if (!Ascend(px, py, level, p.levels)) return kOk;
        }
        for (;;) {
            if (IsMarked(p, px, py)) break;
            const uint32_t s = GetBits(*p.main, 2);
            if (p.main->failed) return kFailedRead;
            if ((s & 1) && !DecodeValue(p, px, py, level)) return kFailedRead;
            if (s >= 2) break;
            if (SiblingStep(px, py)) continue;
            if (!Ascend(px, py, level, p.levels)) return kOk;
        }
    }
}

}  // namespace qx
