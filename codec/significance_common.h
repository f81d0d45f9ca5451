// The state of one significance pass and the tree walk shared by the pass coder and decoder.
#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "codec/codec.h"

namespace qx {

// The decoder's marks: DecoderMarks, where bit 1 marks a coefficient found significant.
constexpr uint8_t kMarked = 2;

// The encoder keeps no marks: the plane holds each coefficient's magnitude doubled with its sign
// in bit 0, and -1 once marked. The zerotree test is then a plain maximum over the plane against
// twice the threshold, and the walk reads no second map (whose loads were as slow as the plane's).
// In wrapping arithmetic: a magnitude of 2^30 or more fails the threshold bounds anyway. The form
// with the magnitude is for a caller that has it already.
constexpr int32_t SignedMagnitude(int32_t v, uint32_t magnitude) {
    return static_cast<int32_t>(magnitude << 1 | static_cast<uint32_t>(v) >> 31);
}
constexpr int32_t SignedMagnitude(int32_t v) {
    return SignedMagnitude(v, v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v));
}

struct PassContext {
    int32_t* plane = nullptr;  // CoefficientPlane of the component
    uint8_t* marks = nullptr;  // the decoder's marks
    int width = 0;             // row stride
    int levels = 0;            // LevelCount of the component
    int component = 0;
    int lowWidth = 0;
    int lowHeight = 0;
    WordStream* main = nullptr;
    WordStream* refine = nullptr;
    // Per pass.
    int32_t T = 0;
    int32_t T15 = 0;
    int D = 0;  // SkipDepth: levels 1 ... D are left out
    // Per tree.
    int rootX = 0;
    int rootY = 0;

    void setTree(int t) {
        const int perOrientation = lowWidth * lowHeight;
        const int d = t / perOrientation;
        const int rest = t % perOrientation;
        const int y = rest / lowWidth;
        const int x = rest % lowWidth;
        rootX = x + (d != 1 ? lowWidth : 0);
        rootY = y + (d != 0 ? lowHeight : 0);
    }
    void setThreshold(int32_t threshold) {
        T = threshold;
        T15 = (threshold >> 1) * 3;
    }
};

// Whether significant values at this level of this component write a single refinement bit,
// their sign (their magnitude is always the upper one): level 1 of the luma does.
constexpr bool RefinesWithOneBit(int component, int level) {
    return level == 1 && component == 0;
}

// Moves to the next of four siblings (top-left, top-right, bottom-left, bottom-right); false
// after the last one. Arithmetic rather than a switch: the walk leaves and resumes sibling
// groups at unforeseeable points, where a jump table mispredicts.
inline bool SiblingStep(int& px, int& py) {
    const int right = px & 1;
    if (right & py) return false;  // bottom-right
    px ^= 1;                       // left <-> right
    py += right;                   // after a right one, down a row
    return true;
}

// Climbs until a parent has a further sibling; false when the tree is finished.
inline bool Ascend(int& px, int& py, int& level, int levels) {
    for (;;) {
        ++level;
        if (level >= levels) return false;
        px >>= 1;
        py >>= 1;
        if (SiblingStep(px, py)) return true;
    }
}

// For the decoder's map: bit q set for each of the 2 x 2 children at `at` (top-left, top-right,
// bottom-left, bottom-right) that is marked. The four mark bytes are gathered
// with one multiplication, whose partial products land on distinct bits.
inline unsigned MarkedChildren(const uint8_t* marks, size_t at, size_t stride) {
    uint16_t top;
    uint16_t bottom;
    std::memcpy(&top, marks + at, 2);
    std::memcpy(&bottom, marks + at + stride, 2);
    const uint64_t flags = ((top | uint64_t{bottom} << 16) / kMarked) & 0x01010101u;
    return static_cast<unsigned>((flags * 0x204081u) >> 21) & 15;
}

// For the encoder's plane of magnitudes, where marked coefficients hold -1: bit q set for each
// of the 2 x 2 children at `at` that is marked, and for each that reaches T (T > INT32_MIN).
struct ChildValues {
    unsigned marked;
    unsigned reaching;
};
inline ChildValues ReadChildren(const int32_t* plane, size_t at, size_t stride, int32_t T) {
    const __m128i top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(plane + at));
    const __m128i bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(plane + at + stride));
    const __m128i four = _mm_unpacklo_epi64(top, bottom);
    const __m128i reach = _mm_cmpgt_epi32(four, _mm_set1_epi32(T - 1));
    return {static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(four))),
            static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(reach)))};
}

// How many of four children are open, looked up in the nibbles of one constant: the baseline
// x86-64 has no popcount instruction, and std::popcount would be a library call per node.
constexpr uint32_t OpenCount(unsigned open) {
    return static_cast<uint32_t>((0x4332322132212110ull >> (4 * open)) & 15);
}

// Returns 0, or kMainCodeErr when the walk would leave the coded levels or a stream is full.
int EncodeTreePass(PassContext& p);
// Returns 0, or 1 after a failed read (a damaged stream or a walk below the coded levels).
int DecodeTreePass(PassContext& p);

}  // namespace qx
