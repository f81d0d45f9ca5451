#include <gtest/gtest.h>

#include <vector>

#include "codec/codec.h"
#include "support/test_support.h"

namespace {

// A small striped colour picture handed over the way the loader hands it.
void HandOver(qx::Codec& codec, int width, int length) {
    codec.state.PictureBuffer.resize(static_cast<size_t>(width) * length * 3);
    for (size_t i = 0; i < codec.state.PictureBuffer.size(); ++i)
        codec.state.PictureBuffer[i] = static_cast<uint8_t>((i * 37) % 251);
    codec.state.Width = static_cast<int16_t>(width);
    codec.state.Length = static_cast<int16_t>(length);
}

TEST(CodecErrorMessage, KnownAndUnknownCodes) {
    EXPECT_STREQ(qx::CodecErrorMessage(8), "MainCode Err.");
    EXPECT_STREQ(qx::CodecErrorMessage(-9), "Code Err.");
    EXPECT_STREQ(qx::CodecErrorMessage(1), "No memory for file.");
    EXPECT_EQ(qx::CodecErrorMessage(96), nullptr);
    EXPECT_EQ(qx::CodecErrorMessage(0), nullptr);
}

TEST(Drivers, AFailedPreparationStopsBeforeEncoding) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    HandOver(codec, 32, 100);
    EXPECT_EQ(qx::CompressForPreview(codec), qx::kSizesChange);
    EXPECT_EQ(hooks.restoredShown, 0);
    EXPECT_EQ(codec.MainCodeEnd.index, 0u);

    HandOver(codec, 100, 20);
    EXPECT_EQ(qx::CompressForPackage(codec), qx::kSizesChange);
    EXPECT_TRUE(hooks.progress.empty());
}

TEST(Drivers, PreviewRestoresAtTheSourceSizeAndPackageReportsBothPhases) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    HandOver(codec, 100, 70);
    ASSERT_EQ(qx::CompressForPreview(codec), 0);
    EXPECT_EQ(hooks.restoredShown, 1);
    EXPECT_EQ(codec.state.Width, 100);
    EXPECT_EQ(codec.state.Length, 70);
    EXPECT_EQ(codec.state.CodedWidth, 128);
    EXPECT_EQ(codec.state.CodedLength, 64);
    EXPECT_EQ(codec.state.RestoredPictureKind, 5);
    EXPECT_TRUE(hooks.messages.empty());

    HandOver(codec, 100, 70);
    ASSERT_EQ(qx::CompressForPackage(codec), 0);
    EXPECT_EQ(hooks.progress, (std::vector<int>{0, 1}));
    // Encoding leaves the coded size current and the streams' ends recorded for the container.
    EXPECT_EQ(codec.state.Width, 128);
    EXPECT_GT(codec.MainCodeEnd.index + codec.MainCodeEnd.used, 0u);
}

TEST(Drivers, OpenCompressedStopsOnAFailedRead) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    int decoded = 0;
    EXPECT_EQ(qx::OpenCompressed(codec, [&](qx::Codec&) { return 96; }), 96);
    EXPECT_EQ(qx::OpenCompressed(codec, [&](qx::Codec&) { return ++decoded, 1; }), 1);
    EXPECT_EQ(decoded, 1);
    EXPECT_EQ(hooks.restoredShown, 0);
}

}  // namespace
