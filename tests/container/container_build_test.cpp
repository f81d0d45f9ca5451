// Building the file image: section layout, stored table values and the build's refusals.
#include <gtest/gtest.h>

#include "container/container.h"
#include "container/container_fixture.h"
#include "container/file_title.h"

namespace {

struct Built {
    qx::Container container;
    int bodyLength = 0;
    qx::FileTitle title;
    const uint8_t* body() const { return container.image.data() + qx::kTitleSize; }
};

Built Build(const qx::Codec& codec) {
    Built b;
    b.bodyLength = qx::BuildCompressedImage(b.container, codec, 1234);
    if (b.bodyLength > 0) b.title = qx::ParseTitle(b.container.image.data());
    return b;
}

TEST(BuildCompressedImage, StatisticsAreStoredAsBytesOfComponentZero) {
    qx::Codec codec = qxtest::EncodedCodec(128, 128);  // low band 2 x 2, N = 12
    auto& t = codec.tables;
    t.BlockMeans[0] = 300;
    t.BlockMeans[1] = 255;
    t.BlockMeans[2] = 256;
    t.BlockMeans[1024] = 1000;
    t.BlockMeans[1024 + 11] = 17;
    t.BlockPeaks[5] = 65535;
    t.BlockPeaks[1024 + 3] = 254;
    t.BlockDeviations[11] = 99;
    t.BlockDeviations[1024] = 42;  // row 1 of the deviations is not stored

    const Built b = Build(codec);
    const uint8_t* means0 = b.body() + 3 * 4 + 3 * 6;
    const uint8_t* means1 = means0 + 12;
    const uint8_t* peaks0 = means1 + 12;
    const uint8_t* peaks1 = peaks0 + 12;
    const uint8_t* deviations = peaks1 + 12;
    EXPECT_EQ(means0[0], 255);
    EXPECT_EQ(means0[1], 255);
    EXPECT_EQ(means0[2], 255);
    EXPECT_EQ(means1[0], 255);
    EXPECT_EQ(means1[11], 17);
    EXPECT_EQ(peaks0[5], 255);
    EXPECT_EQ(peaks1[3], 254);
    EXPECT_EQ(deviations[11], 99);
    EXPECT_EQ(deviations + 12, b.body() + b.bodyLength - 512 - 4 * b.title.RefineCodeWordCount -
                                   b.title.PackedMainCodeSize);
}

TEST(BuildCompressedImage, StreamsEndingOnAWordBoundaryStoreTheEmptyWordAfterThem) {
    qx::Codec codec = qxtest::EncodedCodec(64, 64, 10, 6);
    codec.MainCode.words[10] = 0;
    codec.RefineCode.words[6] = 0;
    codec.MainCodeEnd = {10, 0};
    codec.RefineCodeEnd = {6, 0};
    codec.RefineCode.words[5] = 0x01020304;

    const Built b = Build(codec);
    EXPECT_EQ(b.title.RefineCodeWordCount, 7);
    const uint8_t* refine = b.body() + b.bodyLength - 512 - 4 * 7;
    EXPECT_EQ((std::vector<uint8_t>(refine + 20, refine + 28)),
              (std::vector<uint8_t>{1, 2, 3, 4, 0, 0, 0, 0}));

    // The packed MainCode decodes to 11 words and the extra byte, and ends with two 0 bytes.
    const int32_t packedSize = b.title.PackedMainCodeSize;
    const uint8_t* packed = refine - packedSize;
    EXPECT_EQ(packed[packedSize - 1], 0);
    EXPECT_EQ(packed[packedSize - 2], 0);
    std::vector<uint8_t> out(4096);
    EXPECT_EQ(qx::UnpackMainCode({packed, static_cast<size_t>(packedSize)}, b.container.cumFreq,
                                 4096, out),
              4 * 11 + 1 + 1);
    EXPECT_EQ(out[4], static_cast<uint8_t>(codec.MainCode.words[1]));  // least significant first
    EXPECT_EQ(out[43], 0);
    EXPECT_EQ(out[44], 0);
}

TEST(BuildCompressedImage, GreyPicturesStoreOneComponentOfLowBandAndBounds) {
    qx::Codec codec = qxtest::EncodedCodec(1024, 576, 40, 12, true);  // low band 16 x 9
    const Built b = Build(codec);
    ASSERT_GT(b.bodyLength, 0);
    const int n = 3 * 16 * 9;
    EXPECT_EQ(b.title.GreyFlag, 1);
    EXPECT_EQ(b.bodyLength, 16 * 9 + n / 2 + 5 * n + b.title.PackedMainCodeSize + 4 * 13 + 512);
    EXPECT_EQ(b.body()[16 * 9 + n / 2], codec.tables.BlockMeans[0]);
}

TEST(BuildCompressedImage, RefusesABodyTheReaderWouldRefuse) {
    // Both streams at the encoder's limits for 1024 x 1024, full of noise: the body would pass
    // W x H + 65536 bytes.
    const uint32_t words = 1024 * 1024 / 4;
    qx::Codec codec = qxtest::EncodedCodec(1024, 1024, words - 7, words - 1);
    for (uint32_t k = 0; k < words - 7; ++k) codec.MainCode.words[k] = k * 2654435761u;
    qx::Container container;
    container.image.assign(600, 1);  // an earlier picture
    EXPECT_EQ(qx::BuildCompressedImage(container, codec, 0), qx::kCodeErr);
    EXPECT_EQ(container.bodyLength(), 0);

    // A stream end beyond the buffers is refused as well.
    codec = qxtest::EncodedCodec(64, 64);
    codec.MainCodeEnd.index = static_cast<uint32_t>(codec.MainCode.words.size());
    EXPECT_EQ(qx::BuildCompressedImage(container, codec, 0), qx::kCodeErr);
}

}  // namespace
