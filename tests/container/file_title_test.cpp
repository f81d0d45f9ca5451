// The title record as read: sign extension and the decoder state it restores. (The reference
// files pin every byte position of the title as written.)
#include <gtest/gtest.h>

#include "container/container_fixture.h"
#include "container/file_title.h"

namespace {

TEST(FileTitle, UnpackSignExtendsAndDerivesTheDecoderState) {
    qx::TitleBytes b{};
    b[4] = 0x80, b[5] = 0x02;  // 640 x 384 coded
    b[6] = 0x80, b[7] = 0x01;
    b[8] = 0x58, b[9] = 0x02;
    b[10] = 0x90, b[11] = 0x01;
    b[13] = 0xFE;  // FocusBorder -2
    b[14] = 7;
    b[16] = 0xFF;  // Quality -1
    b[17] = 0xF0;  // QualityBase 240, read unsigned
    b[18] = 0x85;  // LowBandWidth -123
    b[19] = 3;
    b[44] = 2;  // ChromaShift: the reader always uses 1
    b[45] = 1;  // grey
    qx::Codec codec;
    qx::UnpackTitle(qx::ParseTitle(b.data()), codec);

    EXPECT_EQ(codec.params.FocusBorder, -2);
    EXPECT_EQ(codec.params.Quality, -1);
    EXPECT_EQ(codec.params.QualityBase, 240);
    EXPECT_EQ(codec.tables.LowBandWidth, -123);
    EXPECT_EQ(codec.params.ChromaShift, 1);
    EXPECT_EQ(codec.params.ComponentCount, 1);
    EXPECT_EQ(codec.state.Width, 640);
    EXPECT_EQ(codec.state.Length, 384);
    EXPECT_EQ(codec.state.SourceWidth, 600);
    EXPECT_EQ(codec.state.SourceLength, 400);
    EXPECT_EQ(codec.tables.LevelCount[0], 7);
    EXPECT_EQ(codec.tables.LevelCount[1], 6);
    EXPECT_EQ(codec.tables.LevelCount[2], 6);
    EXPECT_EQ(codec.tables.LastLevelHeight, 6);
    const int32_t pixels = 640 * 384;
    EXPECT_EQ(codec.state.PlaneOffset, (std::array<int32_t, 3>{0, pixels, pixels + pixels / 4}));

    b[45] = 0;
    qx::UnpackTitle(qx::ParseTitle(b.data()), codec);
    EXPECT_EQ(codec.params.ComponentCount, 3);
}

}  // namespace
