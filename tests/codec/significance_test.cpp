#include <gtest/gtest.h>

#include <vector>

#include "codec/bit_stream.h"
#include "codec/significance_common.h"

namespace {

// A 4 x 2 plane holding one HL tree of two levels: root (1, 0), children (2..3, 0..1). The
// encoder reads magnitudes and signs from the plane (-1 when marked); the decoder marks the map.
struct SmallTree {
    std::vector<int32_t> plane = std::vector<int32_t>(8, 0);
    std::vector<uint8_t> marks = std::vector<uint8_t>(8, 0);
    qx::WordStream main;
    qx::WordStream refine;
    qx::PassContext p;

    SmallTree() {
        main.words.assign(8, 0);
        main.limit = 7;
        refine.words.assign(8, 0);
        refine.limit = 7;
        p.plane = plane.data();
        p.marks = marks.data();
        p.width = 4;
        p.levels = 2;
        p.lowWidth = 1;
        p.lowHeight = 1;
        p.main = &main;
        p.refine = &refine;
        p.setTree(0);
    }
    void set(int x, int y, int32_t v) { plane[y * 4 + x] = qx::SignedMagnitude(v); }
};

TEST(SignificancePass, ZerotreeAndMarkedNodes) {
    SmallTree tree;
    tree.set(1, 0, 5);
    tree.p.setThreshold(32);
    ASSERT_EQ(qx::EncodeTreePass(tree.p), 0);
    EXPECT_EQ(tree.main.used, 2u);  // one zerotree symbol
    EXPECT_EQ(tree.refine.used, 0u);

    // A marked root costs nothing itself; each unmarked child costs one bit at the lowest level.
    SmallTree marked;
    marked.plane[1] = -1;
    marked.p.setThreshold(32);
    ASSERT_EQ(qx::EncodeTreePass(marked.p), 0);
    EXPECT_EQ(marked.main.used, 4u);

    // A marked root whose children lie below the coded levels cannot be walked.
    marked.p.D = 1;
    EXPECT_EQ(qx::EncodeTreePass(marked.p), qx::kMainCodeErr);
}

TEST(SignificancePass, ThresholdZeroMakesEveryUnmarkedCoefficientSignificant) {
    SmallTree tree;
    tree.p.setThreshold(0);
    ASSERT_EQ(qx::EncodeTreePass(tree.p), 0);
    for (int i : {1, 2, 3, 6, 7}) EXPECT_EQ(tree.plane[i], -1);
}

TEST(SignificancePass, DecoderRefusesStreamsThatRunOut) {
    SmallTree tree;
    tree.main.words[0] = 0xFFFFFFFF;  // every node significant, far more than one word holds
    tree.main.limit = 0;
    tree.refine.limit = 0;
    tree.p.setThreshold(32);
    EXPECT_EQ(qx::DecodeTreePass(tree.p), 1);

    SmallTree below;
    below.marks[1] = qx::kMarked;
    below.main.limit = 1;
    below.refine.limit = 1;
    below.p.setThreshold(32);
    below.p.D = 1;
    EXPECT_EQ(qx::DecodeTreePass(below.p), 1);
}

}  // namespace
