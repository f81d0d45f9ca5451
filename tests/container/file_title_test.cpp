// The title record: byte positions, byte order, sign extension and the state it restores.
#include <gtest/gtest.h>

#include "container/container_fixture.h"
#include "container/file_title.h"

namespace {

TEST(FileTitle, PackedCodecStateLandsAtItsOffsets) {
    qx::Codec codec = qxtest::EncodedCodec(741, 500);
    codec.params.FocusBorder = 0x1F7;  // only the low byte is stored
    codec.params.Quality = 4;
    codec.params.CompressionMode = 1;
    codec.tables.ThresholdScaleFlags = 5;
    codec.tables.LevelOffset = {128, -2, 0x01020304};
    qx::FileTitle title = qx::PackTitle(codec);
    title.PackedMainCodeSize = 0x11223344;
    title.RefineCodeWordCount = 7;
    title.CompressionTime = 0xA1B2C3D4;

    const qx::TitleBytes b = qx::SerialiseTitle(title);
    EXPECT_EQ(b[0], 'X');
    EXPECT_EQ(b[1], 'Q');
    EXPECT_EQ(b[4] | b[5] << 8, 768);  // coded width
    EXPECT_EQ(b[6] | b[7] << 8, 512);
    EXPECT_EQ(b[8] | b[9] << 8, 741);
    EXPECT_EQ(b[10] | b[11] << 8, 500);
    EXPECT_EQ(b[12], 5);
    EXPECT_EQ(b[13], 0xF7);
    EXPECT_EQ(b[14], 8);
    EXPECT_EQ(b[15], 1);
    EXPECT_EQ(b[16], 4);
    EXPECT_EQ(b[17], 10);
    EXPECT_EQ(b[18], 3);
    EXPECT_EQ(b[19], 2);
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 20, b.begin() + 24)),
              (std::vector<uint8_t>{0x44, 0x33, 0x22, 0x11}));
    EXPECT_EQ(b[24], 7);
    EXPECT_EQ(b[28], 128);
    EXPECT_EQ((std::vector<uint8_t>(b.begin() + 32, b.begin() + 36)),
              (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(b[36], 0x04);
    EXPECT_EQ(b[39], 0x01);
    EXPECT_EQ(b[40], 0xD4);
    EXPECT_EQ(b[43], 0xA1);
    EXPECT_EQ(b[44], 1);     // ChromaShift
    EXPECT_EQ(b[45], 0);     // GreyFlag
    EXPECT_EQ(b[46], 1);     // ReferenceChannel
    EXPECT_EQ(b[49], 0x2A);  // ToneSelect
    EXPECT_EQ(b[50], 0);
    EXPECT_EQ(b[51], 0);

    const qx::FileTitle back = qx::ParseTitle(b.data());
    EXPECT_EQ(qx::SerialiseTitle(back), b);
}

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
