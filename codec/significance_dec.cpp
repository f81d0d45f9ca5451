// Reads one significance pass back and places the reconstructed values in the plane.
#include <array>
#include <bit>

#include "codec/bit_stream.h"
#include "codec/significance_common.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

// What a pass reconstructs: the level whose values read one refinement bit (0, no coded level,
// when none does), and the two magnitudes.
struct PassValues {
    int oneBitLevel;
    int32_t lower;
    int32_t upper;

    explicit PassValues(const PassContext& p)
        : oneBitLevel(RefinesWithOneBit(p.component, 1) ? 1 : 0),
          lower((p.T15 + p.T) >> 1),
          upper(p.T + (p.T15 >> 1)) {}
};

// Marks the node and reads its refinement symbol. A failed read gives 0 bits, and the pass
// reports it at its end.
[[gnu::always_inline]] inline void DecodeValue(PassContext& p, const PassValues& v,
                                               StreamReader& refineIn, int px, int py, int level) {
    const size_t at = static_cast<size_t>(py) * p.width + px;
    p.marks[at] = kMarked;
    uint32_t r;
    if (level == v.oneBitLevel) {
        r = refineIn.get(1) * 2 + 1;  // the magnitude is always the upper one
    } else {
        r = refineIn.get(2);
    }
    // Bit 0 picks the magnitude and bit 1 the sign; selects rather than a jump table, whose
    // target the processor cannot foresee.
    const int32_t magnitude = (r & 1) ? v.upper : v.lower;
    p.plane[at] = (r & 2) ? -magnitude : magnitude;
}

bool IsMarked(const PassContext& p, int px, int py) {
    return p.marks[static_cast<size_t>(py) * p.width + px] == kMarked;
}

constexpr int kFailedRead = 1;

// For a set of open children (bit q for child q) and the bits they read (the first open child's
// the most significant), the children whose bit is set.
constexpr auto kSetChildren = [] {
    std::array<std::array<uint8_t, 16>, 16> table{};
    for (unsigned open = 0; open < 16; ++open) {
        const int count = std::popcount(open);
        for (unsigned bits = 0; bits < (1u << count); ++bits) {
            unsigned set = 0;
            int next = count - 1;  // bit of the next open child
            for (int q = 0; q < 4; ++q) {
                if ((open >> q) & 1) set |= ((bits >> next--) & 1) << q;
            }
            table[open][bits] = static_cast<uint8_t>(set);
        }
    }
    return table;
}();

static_assert([] {
    for (unsigned open = 0; open < 16; ++open) {
        if (OpenCount(open) != static_cast<uint32_t>(std::popcount(open))) return false;
    }
    return true;
}());

// A read past the end of either stream gives 0 bits and leaves the reader failed: the walk goes
// on to its end through nodes that read nothing set, which every walk reaches, and the pass
// reports the failure then. No step waits on a check.
[[gnu::always_inline]] inline int Walk(PassContext& p, StreamReader& mainIn,
                                       StreamReader& refineIn) {
    const PassValues values(p);
    int level = p.levels;
    int px = p.rootX;
    int py = p.rootY;
    const int lowest = p.D + 1;
    if (!IsMarked(p, px, py)) {
        const uint32_t s = mainIn.get(level == lowest ? 1 : 2);
        if (s & 1) DecodeValue(p, values, refineIn, px, py, level);
        if (s < 2) return kOk;
    }
    for (;;) {
        px *= 2;
        py *= 2;
        --level;
        if (level < lowest) return kFailedRead;
        if (level == lowest) {
            // The unmarked ones of the four children read a bit each, in order: all in one read,
            // then a value for each child whose bit is set. The main and refine streams are
            // apart, so the order of their reads between them does not matter.
            const size_t stride = static_cast<size_t>(p.width);
            const unsigned open =
                ~MarkedChildren(p.marks, static_cast<size_t>(py) * stride + px, stride) & 15;
            if (open != 0) {
                const uint32_t bits = mainIn.get(OpenCount(open));
                for (unsigned set = kSetChildren[open][bits]; set != 0; set &= set - 1) {
                    const int q = std::countr_zero(set);
                    DecodeValue(p, values, refineIn, px + (q & 1), py + (q >> 1), level);
                }
            }
            if (!Ascend(px, py, level, p.levels)) return kOk;
        }
        for (;;) {
            if (IsMarked(p, px, py)) break;
            const uint32_t s = mainIn.get(2);
            if (s & 1) DecodeValue(p, values, refineIn, px, py, level);
            if (s >= 2) break;
            if (SiblingStep(px, py)) continue;
            if (!Ascend(px, py, level, p.levels)) return kOk;
        }
    }
}

}  // namespace

QX_BIT_CLONES int DecodeTreePass(PassContext& p) {
    StreamReader mainIn(*p.main);
    StreamReader refineIn(*p.refine);
    // A copy that no store into the plane or the map can alias, so that the walk keeps its
    // fields in registers.
    PassContext local = p;
    int status = Walk(local, mainIn, refineIn);
    if (mainIn.failed() || refineIn.failed()) status = kFailedRead;
    mainIn.finish();
    refineIn.finish();
    return status;
}

}  // namespace qx
