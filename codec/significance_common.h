// The state of one significance pass and the tree walk shared by the pass coder and decoder.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace qx {

// SignificanceMap: bit 1 marks a coefficient coded as significant. While encoding, bit 0 holds
// the coefficient's sign and the plane its magnitude (-1 once marked), so that the zerotree test
// is a plain maximum over the plane.
constexpr uint8_t kMarked = 2;
constexpr uint8_t kNegative = 1;

struct PassContext {
    int32_t* plane = nullptr;  // CoefficientPlane of the component
    uint8_t* marks = nullptr;  // SignificanceMap
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

// Returns 0, or kMainCodeErr when the walk would leave the coded levels or a stream is full.
int EncodeTreePass(PassContext& p);
// Returns 0, or 1 after a failed read (a damaged stream or a walk below the coded levels).
int DecodeTreePass(PassContext& p);

}  // namespace qx
