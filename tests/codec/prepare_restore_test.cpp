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

// A 24-bit uncompressed BMP with the plain 54-byte header: bottom-up rows in blue, green, red
// order, each padded to four bytes.
RgbPicture ReadBmp24(const std::string& path) {
    const std::vector<uint8_t> file = qxtest::ReadFileBytes(path);
    auto le32 = [&](size_t at) {
        return static_cast<int>(file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
                                file[at + 3] << 24);
    };
    RgbPicture p;
    p.width = le32(18);
    p.length = le32(22);
    const size_t stride = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t{3};
    p.pixels.resize(static_cast<size_t>(p.width) * p.length * 3);
    for (int y = 0; y < p.length; ++y) {
        const uint8_t* row = file.data() + le32(10) + (p.length - 1 - y) * stride;
        for (int x = 0; x < p.width; ++x) {
            for (int c = 0; c < 3; ++c) p.pixels[(y * p.width + x) * 3 + c] = row[x * 3 + 2 - c];
        }
    }
    return p;
}

RgbPicture Crop(const RgbPicture& in, int width, int length) {
    RgbPicture out{width, length, {}};
    for (int y = 0; y < length; ++y) {
        const auto* row = in.pixels.data() + static_cast<size_t>(y) * in.width * 3;
        out.pixels.insert(out.pixels.end(), row, row + width * 3);
    }
    return out;
}

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

double Psnr(const uint8_t* a, const uint8_t* b, size_t bytes) {
    double sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return 10 * std::log10(255.0 * 255.0 * bytes / std::max(sum, 1.0));
}

void ExpectRoundTrip(const RgbPicture& source, double minimumPsnr) {
    qx::Codec codec;
    qx::AnalysePicture(source.pixels.data(), source.width, source.length, codec.params);
    Load(codec, source);
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    ASSERT_EQ(qx::RestorePicture(codec), qx::kOk);
    EXPECT_EQ(codec.state.Width, source.width);
    EXPECT_EQ(codec.state.Length, source.length);
    EXPECT_EQ(codec.state.RestoredPictureKind, 5);
    ASSERT_EQ(codec.state.WorkBuffer.size(), source.pixels.size());
    EXPECT_GT(Psnr(codec.state.WorkBuffer.data(), source.pixels.data(), source.pixels.size()),
              minimumPsnr);
}

TEST(PrepareAndRestore, AstronautComesBackCloseToTheSource) {
    const RgbPicture astronaut = ReadBmp24(qxtest::CorpusPath("astronaut.bmp"));
    ASSERT_EQ(astronaut.width, 512);
    ExpectRoundTrip(astronaut, 30.0);
    ExpectRoundTrip(Crop(astronaut, 451, 300), 30.0);  // resampled both ways in both directions
    ExpectRoundTrip(Crop(astronaut, 33, 95), 28.0);
}

TEST(PreparePlanes, UnchangedSizeHandsThePictureBlockOver) {
    qx::Codec codec;
    Load(codec, Random(576, 64, 1));
    const uint8_t* block = codec.state.PictureBuffer.data();
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    EXPECT_EQ(codec.state.WorkBuffer.data(), block);
    EXPECT_TRUE(codec.state.PictureBuffer.empty());
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

TEST(PreparePlanes, LeavesCodedSizeOffsetsAndEmptyStreams) {
    qx::Codec codec;
    Load(codec, Random(600, 400, 3));
    codec.tables.ThresholdScaleFlags = 5;
    codec.state.CodecStatus = 8;
    codec.MainCode.index = 9;
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    const qx::CodecState& s = codec.state;
    EXPECT_EQ(s.SourceWidth, 600);
    EXPECT_EQ(s.SourceLength, 400);
    EXPECT_EQ(s.Width, 640);
    EXPECT_EQ(s.Length, 384);
    EXPECT_EQ(s.CodedWidth, 640);
    EXPECT_EQ(s.CodedLength, 384);
    EXPECT_EQ(s.PlaneOffset, (std::array<int32_t, 3>{0, 245760, 307200}));
    EXPECT_EQ(s.FocusRect, (std::array<int32_t, 4>{0, 0, 640, 384}));
    EXPECT_EQ(s.CodecStatus, 0);
    EXPECT_EQ(codec.tables.ThresholdScaleFlags, 0);
    EXPECT_EQ(codec.MainCode.index, 0u);
    EXPECT_EQ(codec.MainCode.words[0], 0u);
    EXPECT_GE(s.PlaneBuffer.size(), 2u * 640 * 384);
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

TEST(PreparePlanes, FocusPositionLimitsTheSharpening) {
    const RgbPicture picture = Random(640, 512, 5);
    qx::Codec codec;
    codec.params.CompressionMode = 1;
    codec.params.FocusMode = 1;
    Load(codec, picture);
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    EXPECT_EQ(codec.state.FocusRect, (std::array<int32_t, 4>{128, 128, 384, 256}));

    codec.params.FocusMode = 1;  // 512 x 512 has no usable focus grid: the whole picture stays
    Load(codec, Random(512, 512, 6));
    ASSERT_EQ(qx::PreparePlanes(codec), qx::kOk);
    EXPECT_EQ(codec.state.FocusRect, (std::array<int32_t, 4>{0, 0, 512, 512}));
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
    qx::RestorePicture(codec);
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

TEST(RestorePicture, ZeroPlanesAreNotBlack) {
    qx::Codec codec = Decoded(640, 384, 600, 400, false);
    codec.params.ToneSelect = 0x2A;
    EXPECT_EQ(qx::RestorePicture(codec), qx::kOk);
    EXPECT_EQ(codec.state.Width, 600);
    EXPECT_EQ(codec.state.Length, 400);
    EXPECT_EQ(std::vector<uint8_t>(codec.state.WorkBuffer.begin(), codec.state.WorkBuffer.end()),
              std::vector<uint8_t>(600 * 400 * 3, 2));
}

TEST(RestorePicture, GreyLumaIsClampedWithoutExpansion) {
    qx::Codec codec = Decoded(64, 64, 64, 64, true);
    auto& luma = codec.state.PlaneBuffer;
    luma[0] = -5;
    luma[1] = 300;
    luma[2] = 64;
    luma[3] = 191;
    qx::RestorePicture(codec);
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
    qx::RestorePicture(codec);
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
