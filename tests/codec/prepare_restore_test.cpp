#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "codec/codec.h"
#include "codec/colour_transform.h"
#include "codec/load_analysis.h"
#include "failing_allocation.h"
#include "support/test_support.h"

namespace {

struct RgbPicture {
    int width = 0;
    int length = 0;
    std::vector<uint8_t> pixels;  // red, green, blue; rows top to bottom
};

RgbPicture Random(int width, int length, unsigned seed) {
    std::mt19937 rng(seed);
    RgbPicture p{width, length, std::vector<uint8_t>(static_cast<size_t>(width) * length * 3)};
    for (auto& v : p.pixels) v = static_cast<uint8_t>(rng());
    return p;
}

void Load(qx::Codec& codec, const RgbPicture& picture) {
    codec.state.Width = static_cast<int16_t>(picture.width);
    codec.state.Length = static_cast<int16_t>(picture.length);
    codec.state.PictureBuffer.assign(picture.pixels.begin(), picture.pixels.end());
}

TEST(PreparePlanes, RefusesSidesBelow33AndShortPictures) {
    for (auto [w, l] : {std::pair{32, 100}, std::pair{100, 32}, std::pair{1, 1}}) {
        qx::Codec codec;
        Load(codec, Random(w, l, 2));
        EXPECT_EQ(qx::PreparePlanes(codec), qx::kSizesChange);
        EXPECT_EQ(codec.state.CodecStatus, qx::kSizesChange);
    }
    qx::Codec codec;
    Load(codec, Random(64, 64, 2));
    codec.state.PictureBuffer.resize(64 * 63 * 3);
    EXPECT_EQ(qx::PreparePlanes(codec), qx::kSizesChange);
}

// The luma plane PreparePlanes makes of a 64 x 64 picture, against the transform and sharpening
// run directly on the same picture.
struct LumaCase {
    int mode;
    std::array<int32_t, 3> activity;
    int strength;  // -1 none, 0 strong, 1 mild
};

TEST(PreparePlanes, SharpeningFollowsModeAndActivitySum) {
    const RgbPicture picture = Random(64, 64, 4);
    const LumaCase cases[] = {{0, {10, 10, 9}, -1}, {0, {10, 10, 10}, 0}, {0, {13, 13, 12}, 0},
                              {0, {13, 13, 13}, 1}, {1, {0, 0, 0}, 0},    {1, {20, 20, 20}, 1}};
    std::vector<int16_t> plain(64 * 64 * 3 / 2);
    qx::ForwardColourTransform(picture.pixels.data(), plain.data(), plain.data(), 64, 64, 0, 1,
                               0x15);
    for (const LumaCase& c : cases) {
        qx::Codec codec;
        codec.params.CompressionMode = static_cast<uint8_t>(c.mode);
        codec.params.ChannelActivity = c.activity;
        codec.params.ReferenceChannel = 1;
        codec.params.ToneSelect = 0x15;
        Load(codec, picture);
        ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
        std::vector<int16_t> expected = plain;
        if (c.strength >= 0) {
            qx::SharpenLuma(plain.data(), expected.data(), 64, 64, {0, 0, 64, 64},
                            c.strength ? qx::SharpenStrength::kMild : qx::SharpenStrength::kStrong);
        }
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), codec.state.PlaneBuffer.begin()))
            << "mode " << c.mode << " sum " << c.activity[0] + c.activity[1] + c.activity[2];
    }
}

TEST(PrepareAndRestore, CropRescalesTheSourceSizeThroughFloats) {
    qx::Codec codec;
    codec.params.CropFlag = 1;
    codec.params.FocusBorder = 32;
    Load(codec, Random(454, 64, 7));
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    EXPECT_EQ(codec.state.SourceWidth, 453);
    EXPECT_EQ(codec.params.FocusMode, 255);
    EXPECT_EQ(codec.params.FocusBorder, 0);
    ASSERT_EQ(qx::RestorePicture(codec), qx::kOk);
    EXPECT_EQ(codec.state.Width, 453);
    EXPECT_EQ(codec.state.Length, 64);
    EXPECT_EQ(codec.state.WorkBuffer.size(), 453u * 64 * 3);
}

// A codec holding decoded planes of a coded size, ready for RestorePicture.
qx::Codec Decoded(int codedWidth, int codedLength, int sourceWidth, int sourceLength, bool grey) {
    qx::Codec codec;
    codec.params.GreyFlag = grey;
    codec.state.CodedWidth = static_cast<int16_t>(codedWidth);
    codec.state.CodedLength = static_cast<int16_t>(codedLength);
    codec.state.SourceWidth = static_cast<int16_t>(sourceWidth);
    codec.state.SourceLength = static_cast<int16_t>(sourceLength);
    codec.state.PlaneBuffer.assign(static_cast<size_t>(codedWidth) * codedLength * 2, 0);
    return codec;
}

TEST(RestorePicture, GreyLumaIsClampedWithoutExpansion) {
    qx::Codec codec = Decoded(64, 64, 64, 64, true);
    auto& luma = codec.state.PlaneBuffer;
    luma[0] = -5;
    luma[1] = 300;
    luma[2] = 64;
    luma[3] = 191;
    ASSERT_EQ(qx::RestorePicture(codec), qx::kOk);
    EXPECT_EQ(codec.state.RestoredPictureKind, 3);
    ASSERT_EQ(codec.state.WorkBuffer.size(), 64u * 64);
    EXPECT_EQ(codec.state.WorkBuffer[0], 0);
    EXPECT_EQ(codec.state.WorkBuffer[1], 255);
    EXPECT_EQ(codec.state.WorkBuffer[2], 64);
    EXPECT_EQ(codec.state.WorkBuffer[3], 191);
}

TEST(RestorePicture, GreyPictureIsResampledToTheSourceSize) {
    RgbPicture black{600, 400, std::vector<uint8_t>(600 * 400 * 3, 0)};
    qx::Codec codec;
    codec.params.GreyFlag = 1;
    Load(codec, black);
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    ASSERT_EQ(qx::RestorePicture(codec), qx::kOk);
    EXPECT_EQ(codec.state.RestoredPictureKind, 3);
    EXPECT_EQ(std::vector<uint8_t>(codec.state.WorkBuffer.begin(), codec.state.WorkBuffer.end()),
              std::vector<uint8_t>(600 * 400, 64));  // table 0's floor
}

TEST(RestorePicture, MemoryFailureKeepsTheCodedSizeButSetsTheKind) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec = Decoded(640, 384, 600, 400, false);
    codec.hooks = &hooks;
    codec.state.RestoredPictureKind = 3;  // left over from a grey picture
    {
        const qxtest::FailLargeAllocations failing(750000);  // the coded picture still fits
        EXPECT_EQ(qx::RestorePicture(codec), qx::kOk);
    }
    EXPECT_EQ(hooks.messages, std::vector<std::string>{"There is no memory for file 'Image1'."});
    EXPECT_EQ(codec.state.RestoredPictureKind, 5);
    EXPECT_EQ(codec.state.Width, 640);
    EXPECT_EQ(codec.state.Length, 384);
    EXPECT_EQ(codec.state.WorkBuffer.size(), 640u * 384 * 3);
}

TEST(PreparePlanes, MemoryFailureIsStatusOne) {
    qx::Codec codec;
    Load(codec, Random(600, 400, 8));
    const qxtest::FailLargeAllocations failing(600 * 400 * 3 + 1);
    EXPECT_EQ(qx::PreparePlanes(codec), qx::kNoMemory);
    EXPECT_EQ(codec.state.CodecStatus, qx::kNoMemory);
}

}  // namespace
