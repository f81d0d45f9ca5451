// One significance pass over one coefficient tree, written to MainCode and RefineCode.
#include <algorithm>
#include <array>
#include <bit>

#include "codec/bit_stream.h"
#include "codec/significance_common.h"
#include "codec/vector_clones.h"

namespace qx {
namespace {

// True when a row of the side x side block at row reaches T. Blocks from 8 x 8 on are compared
// eight values at a time where the processor can.
QX_VECTOR_CLONES bool BlockReaches(const int32_t* row, size_t stride, int side, int32_t T) {
    for (int j = 0; j < side; ++j, row += stride) {
        int32_t peak = -1;
        for (int i = 0; i < side; ++i) peak = std::max(peak, row[i]);
        if (peak >= T) return true;
    }
    return false;
}

// True when no unmarked descendant of the node at `at` (y x width + x) at levels level-1 ... D+1
// reaches T. Its descendants k levels down start at (y << k) x width + (x << k), that is at << k.
// The 2 x 2 children and 4 x 4 grandchildren, which decide most nodes, are compared in vector
// registers; one test per block rather than per row, as which row reaches T is unforeseeable.
[[gnu::always_inline]] inline bool RootsZerotree(const PassContext& p, size_t at, int level) {
    const int depths = level - p.D - 1;  // descendant levels to look at, the nearest first
    if (depths <= 0) return true;
    const size_t stride = static_cast<size_t>(p.width);
    const __m128i below = _mm_set1_epi32(p.T - 1);
    const auto reaches = [below](const int32_t* values) {
        return _mm_cmpgt_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values)), below);
    };
    if (ReadChildren(p.plane, at << 1, stride, p.T).reaching != 0) return false;
    if (depths == 1) return true;
    const int32_t* g = p.plane + (at << 2);
    const __m128i grandchildren =
        _mm_or_si128(_mm_or_si128(reaches(g), reaches(g + stride)),
                     _mm_or_si128(reaches(g + 2 * stride), reaches(g + 3 * stride)));
    if (_mm_movemask_epi8(grandchildren) != 0) return false;
    for (int k = 3; k <= depths; ++k) {
        if (BlockReaches(p.plane + (at << k), stride, 1 << k, p.T)) return false;
    }
    return true;
}

// Writes the refinement symbol of coefficient `at` (magnitude a), found significant, and marks it:
// a marked coefficient's magnitude is -1, so the walk tells marked ones by the plane alone.
[[gnu::always_inline]] inline void CodeSignificant(PassContext& p, StreamWriter& refineOut,
                                                   size_t at, int32_t a, int level) {
    const uint32_t sign = p.marks[at] & kNegative;
    if (RefinesWithOneBit(p.component, level)) {
        refineOut.put(sign, 1);
    } else {
        refineOut.put(sign * 2 + (a >= p.T15 ? 1 : 0), 2);
    }
    p.plane[at] = -1;
}

// Codes an unmarked node; returns whether it roots a zerotree (always so in the 1-bit form).
[[gnu::always_inline]] inline bool CodeNode(PassContext& p, StreamWriter& mainOut,
                                            StreamWriter& refineOut, size_t at, int32_t a,
                                            int level, bool oneBit) {
    const uint32_t sig = a >= p.T ? 1 : 0;
    bool zerotree = true;
    if (oneBit) {
        mainOut.put(sig, 1);
    } else {
        zerotree = RootsZerotree(p, at, level);
        mainOut.put((zerotree ? 0u : 2u) + sig, 2);
    }
    if (sig) CodeSignificant(p, refineOut, at, a, level);
    return zerotree;
}

// For a set of open children (bit q for child q) and those of them that reach T, the bits the
// open ones write, the first open child's the most significant.
constexpr auto kChildBits = [] {
    std::array<std::array<uint8_t, 16>, 16> table{};
    for (unsigned open = 0; open < 16; ++open) {
        for (unsigned reach = 0; reach < 16; ++reach) {
            unsigned bits = 0;
            for (int q = 0; q < 4; ++q) {
                if ((open >> q) & 1) bits = bits << 1 | ((reach >> q) & 1);
            }
            table[open][reach] = static_cast<uint8_t>(bits);
        }
    }
    return table;
}();

size_t At(const PassContext& p, int px, int py) {
    return static_cast<size_t>(py) * p.width + px;
}

int Finish(const StreamWriter& mainOut, const StreamWriter& refineOut) {
    return (mainOut.failed() || refineOut.failed()) ? kMainCodeErr : kOk;
}

[[gnu::always_inline]] inline int Walk(PassContext& p, StreamWriter& mainOut,
                                       StreamWriter& refineOut) {
    int level = p.levels;
    int px = p.rootX;
    int py = p.rootY;
    const int lowest = p.D + 1;
    const int32_t root = p.plane[At(p, px, py)];
    if (root >= 0 && CodeNode(p, mainOut, refineOut, At(p, px, py), root, level, level == lowest))
        return Finish(mainOut, refineOut);
    for (;;) {
        px *= 2;
        py *= 2;
        --level;
        if (level < lowest) return kMainCodeErr;
        if (level == lowest) {
            // The unmarked ones of the four children write a bit each, in order: all in one
            // write, then the refinement of each child found significant. The main and refine
            // streams are apart, so the order of their writes between them does not matter.
            const size_t stride = static_cast<size_t>(p.width);
            const size_t first = static_cast<size_t>(py) * stride + px;
            const ChildValues children = ReadChildren(p.plane, first, stride, p.T);
            const unsigned open = ~children.marked & 15;
            unsigned significant = open & children.reaching;
            if (open != 0) mainOut.put(kChildBits[open][significant], OpenCount(open));
            for (; significant != 0; significant &= significant - 1) {
                const int q = std::countr_zero(significant);
                const size_t at = static_cast<size_t>(py + (q >> 1)) * p.width + px + (q & 1);
                CodeSignificant(p, refineOut, at, p.plane[at], level);
            }
            if (!Ascend(px, py, level, p.levels)) return Finish(mainOut, refineOut);
        }
        // Nodes above the lowest coded level: a zerotree root ends its branch.
        for (;;) {
            const size_t at = At(p, px, py);
            const int32_t a = p.plane[at];
            if (a < 0) break;  // marked
            if (!CodeNode(p, mainOut, refineOut, at, a, level, false)) break;
            if (SiblingStep(px, py)) continue;
            if (!Ascend(px, py, level, p.levels)) return Finish(mainOut, refineOut);
        }
    }
}

}  // namespace

QX_BIT_CLONES int EncodeTreePass(PassContext& p) {
    StreamWriter mainOut(*p.main);
    StreamWriter refineOut(*p.refine);
    // A copy that no store into the plane can alias, so that the walk keeps its fields in
    // registers.
    PassContext local = p;
    const int status = Walk(local, mainOut, refineOut);
    mainOut.finish();
    refineOut.finish();
    return status;
}

}  // namespace qx
