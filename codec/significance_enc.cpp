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

// Writes the refinement symbol of coefficient `at` (plane value a), found significant, and marks
// it: a marked coefficient holds -1, so the walk tells marked ones by the plane alone.
[[gnu::always_inline]] inline void CodeSignificant(PassContext& p, StreamWriter& refineOut,
                                                   size_t at, int32_t a, int level) {
    const uint32_t sign = static_cast<uint32_t>(a) & 1;
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

// Bits 0-3 of x moved to bits 0, 2, 4 and 6: two flags of each sibling then interleave.
constexpr std::array<uint8_t, 16> kSpread = [] {
    std::array<uint8_t, 16> table{};
    for (unsigned x = 0; x < 16; ++x) {
        for (int i = 0; i < 4; ++i) table[x] |= static_cast<uint8_t>(((x >> i) & 1) << (2 * i));
    }
    return table;
}();

// Two flags of each sibling in `chosen`, first (most significant) and second, sibling by
// sibling with the first sibling's pair the most significant.
inline uint32_t Pairs(unsigned chosen, unsigned first, unsigned second) {
    return uint32_t{kSpread[kChildBits[chosen][first]]} << 1 | kSpread[kChildBits[chosen][second]];
}

// Bit q for each of the four values at or above `floor`.
inline unsigned Reaching(__m128i four, int32_t floor) {
    return static_cast<unsigned>(
        _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(four, _mm_set1_epi32(floor - 1)))));
}

// Bit q set for each of the four values whose sign bit (bit 0) is set.
inline unsigned NegativeOnes(__m128i four) {
    return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(four, 31))));
}

// Bit q set when one of sibling q's 2 x 2 children reaches T, from the reach flags of the 4 x 4
// children of a group: bits 0-3 of the top two rows OR'd, and of the bottom two.
inline unsigned ChildrenReaching(unsigned topRows, unsigned bottomRows) {
    return ((topRows & 3) != 0) | ((topRows & 12) != 0) << 1 | ((bottomRows & 3) != 0) << 2 |
           ((bottomRows & 12) != 0) << 3;
}

// Four siblings at `at` (y x width + x of the top-left one) as flags, bit q for sibling q. Those
// that reach T are marked in the plane as they are read: the walk codes each of them now.
struct Siblings {
    unsigned marked;    // by an earlier pass
    unsigned reach;     // at or above T
    unsigned negative;  // sign bits
    unsigned upper;     // at or above 1.5 T
};
inline Siblings TakeSiblings(const PassContext& p, size_t at) {
    const size_t stride = static_cast<size_t>(p.width);
    int32_t* top = p.plane + at;
    const __m128i four =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + stride)));
    const __m128i reachLanes = _mm_cmpgt_epi32(four, _mm_set1_epi32(p.T - 1));
    const __m128i markedFour = _mm_or_si128(four, reachLanes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(top), markedFour);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(top + stride), _mm_srli_si128(markedFour, 8));
    return {static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(four))),
            static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(reachLanes))),
            NegativeOnes(four), Reaching(four, p.T15)};
}

// A group of four siblings above the lowest coded level, looked at once when the walk enters it.
// The codes of all its open siblings and the refinements of those reaching T are built at once;
// the walk writes them a stretch at a time, up to each sibling it descends from.
struct Group {
    size_t at = 0;         // y x width + x of the first sibling
    unsigned open = 0;     // unmarked on entry
    unsigned reach = 0;    // open ones that reach T
    unsigned descend = 0;  // marked ones and the open ones whose descendants reach T, not yet taken
    uint32_t codes = 0;    // 2 bits per open sibling, the first sibling's the most significant
    uint32_t refinements = 0;  // 2 bits per sibling that reaches T, likewise
    uint32_t codesLeft = 0;    // how many of the low bits of codes are still to be written
    uint32_t refinementsLeft = 0;
};

// Enters the group at `at` (y x width + x of its first sibling) of `level` (above the lowest
// coded one): reads the four siblings, marks those that reach T, and tests which open ones root a
// zerotree.
[[gnu::always_inline]] inline void EnterGroup(const PassContext& p, Group& g, size_t at,
                                              int level) {
    const size_t stride = static_cast<size_t>(p.width);
    // Those reaching T are marked as they are read: the tests below read only their descendants.
    const Siblings f = TakeSiblings(p, at);
    g.at = at;
    g.open = ~f.marked & 15;
    g.reach = f.reach;
    g.refinements = Pairs(g.reach, f.negative, f.upper);
    g.refinementsLeft = 2 * OpenCount(g.reach);

    const int depths = level - p.D - 1;  // at least 1 above the lowest coded level
    const __m128i below = _mm_set1_epi32(p.T - 1);
    const auto reaches = [below](const int32_t* values) {
        return _mm_cmpgt_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(values)), below);
    };
    const auto mask = [](__m128i lanes) {
        return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(lanes)));
    };
    const int32_t* c = p.plane + (at << 1);
    unsigned roots =
        ChildrenReaching(mask(reaches(c)) | mask(reaches(c + stride)),
                         mask(reaches(c + 2 * stride)) | mask(reaches(c + 3 * stride)));
    // Grandchildren only for open ones that their children leave undecided.
    if (depths >= 2 && (g.open & ~roots) != 0) {
        const int32_t* r = p.plane + (at << 2);
        __m128i quarter[4];
        for (int q = 0; q < 4; ++q) {
            const int32_t* rows = r + (q >> 1) * 4 * stride + (q & 1) * 4;
            quarter[q] =
                _mm_or_si128(_mm_or_si128(reaches(rows), reaches(rows + stride)),
                             _mm_or_si128(reaches(rows + 2 * stride), reaches(rows + 3 * stride)));
        }
        roots |= (mask(quarter[0]) != 0) | (mask(quarter[1]) != 0) << 1 |
                 (mask(quarter[2]) != 0) << 2 | (mask(quarter[3]) != 0) << 3;
        for (unsigned left = g.open & ~roots; depths >= 3 && left != 0; left &= left - 1) {
            const int q = std::countr_zero(left);
            const size_t node = at + static_cast<size_t>(q >> 1) * stride + (q & 1);
            for (int k = 3; k <= depths; ++k) {
                if (BlockReaches(p.plane + (node << k), stride, 1 << k, p.T)) {
                    roots |= 1u << q;
                    break;
                }
            }
        }
    }
    roots &= g.open;
    g.descend = f.marked | roots;
    g.codes = Pairs(g.open, roots, g.reach);
    g.codesLeft = 2 * OpenCount(g.open);
}

// Codes the open ones of the four children at `at` of the lowest coded level: their bits in one
// write, then the refinement of those reaching T, which are marked.
inline void CodeLowestGroup(PassContext& p, StreamWriter& mainOut, StreamWriter& refineOut,
                            size_t at, int level) {
    const Siblings f = TakeSiblings(p, at);
    const unsigned open = ~f.marked & 15;
    mainOut.put(kChildBits[open][f.reach], OpenCount(open));
    if (RefinesWithOneBit(p.component, level)) {
        refineOut.put(kChildBits[f.reach][f.negative], OpenCount(f.reach));
    } else {
        refineOut.put(Pairs(f.reach, f.negative, f.upper), 2 * OpenCount(f.reach));
    }
}

// Levels of groups the walk keeps, one bit each in a 32-bit mask.
constexpr int kMaxWalkLevels = 31;

[[gnu::always_inline]] inline int Walk(PassContext& p, StreamWriter& mainOut,
                                       StreamWriter& refineOut) {
    const int lowest = p.D + 1;
    int level = p.levels;
    const size_t rootAt = At(p, p.rootX, p.rootY);
    const int32_t root = p.plane[rootAt];
    if (root >= 0 && CodeNode(p, mainOut, refineOut, rootAt, root, level, level == lowest))
        return Finish(mainOut, refineOut);
    --level;
    if (level < lowest || level >= kMaxWalkLevels) return kMainCodeErr;
    if (level == lowest) {
        CodeLowestGroup(p, mainOut, refineOut, 2 * rootAt, level);
        return Finish(mainOut, refineOut);
    }
    // The children of the sibling q of a group at `at` start at 2 (at + step[q]).
    const size_t stride = static_cast<size_t>(p.width);
    const std::array<size_t, 4> step = {0, 1, stride, stride + 1};
    // g is the group being coded, kept in registers; it codes its siblings up to the next one it
    // descends from, and goes on from there once that one's tree is coded. The groups above it
    // that still have codes to write or siblings to descend from wait in `groups`, one a level,
    // their levels marked in `waiting`.
    std::array<Group, kMaxWalkLevels> groups;
    uint32_t waiting = 0;
    Group g;
    EnterGroup(p, g, 2 * rootAt, level);
    for (;;) {
        const int d = std::countr_zero(g.descend | 8);  // 3 when none is left
        // What is left after sibling d: the codes of the open siblings past it.
        const uint32_t codesAfter = 2 * OpenCount(g.open >> (d + 1));
        const uint32_t refinementsAfter = 2 * OpenCount(g.reach >> (d + 1));
        mainOut.put((g.codes & ((1u << g.codesLeft) - 1)) >> codesAfter, g.codesLeft - codesAfter);
        refineOut.put((g.refinements & ((1u << g.refinementsLeft) - 1)) >> refinementsAfter,
                      g.refinementsLeft - refinementsAfter);
        g.codesLeft = codesAfter;
        g.refinementsLeft = refinementsAfter;
        if (g.descend != 0) {
            g.descend &= g.descend - 1;
            const size_t childAt = 2 * (g.at + step[static_cast<size_t>(d)]);
            if (level - 1 == lowest) {
                CodeLowestGroup(p, mainOut, refineOut, childAt, lowest);
            } else {
                // A group with nothing left would only be taken up again to be passed over.
                if ((g.descend | g.codesLeft | g.refinementsLeft) != 0) {
                    groups[static_cast<size_t>(level)] = g;
                    waiting |= 1u << level;
                }
                --level;
                EnterGroup(p, g, childAt, level);
            }
            continue;
        }
        const uint32_t above = waiting >> (level + 1);
        if (above == 0) return Finish(mainOut, refineOut);
        level += 1 + std::countr_zero(above);
        waiting &= ~(1u << level);
        g = groups[static_cast<size_t>(level)];
    }
}

}  // namespace

QX_BIT_CLONES int EncodeTreePass(PassContext& p) {
    StreamWriter mainOut(*p.main);
    StreamWriter refineOut(*p.refine);
    // A copy that no store into the plane can alias, so that the walk keeps its fields in
    // registers.
    PassContext local = p;
    local.T = 2 * p.T;  // against doubled magnitudes
    local.T15 = 2 * p.T15;
    const int status = Walk(local, mainOut, refineOut);
    mainOut.finish();
    refineOut.finish();
    return status;
}

}  // namespace qx
