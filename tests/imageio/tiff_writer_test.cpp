// The restored-picture TIFF writer: its fixed head, file lengths, failures, and reading back.
#include <gtest/gtest.h>

#include <filesystem>

#include "imageio/tiff_reader.h"
#include "imageio/tiff_writer.h"
#include "support/test_support.h"
#include "tiff_test_files.h"

namespace qxtest {
namespace {

// The expected head, written out field by field from the file layout.
std::vector<uint8_t> ExpectedHead(uint32_t w, uint32_t l, bool rgb) {
    std::vector<uint8_t> b(200, 0);
    auto put = [&b](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(0, 0x4949, 2);
    put(2, 42, 2);
    put(4, 8, 4);
    put(8, 13, 2);
    const uint32_t entries[13][4] = {
        {254, 4, 1, 0},   {256, 3, 1, w},
        {257, 3, 1, l},   {258, 3, rgb ? 3u : 1u, rgb ? 176u : 8u},
        {259, 3, 1, 1},   {262, 3, 1, rgb ? 2u : 1u},
        {273, 4, 1, 200}, {277, 3, 1, rgb ? 3u : 1u},
        {278, 3, 1, l},   {279, 4, 1, w * l * (rgb ? 3 : 1)},
        {282, 5, 1, 188}, {283, 5, 1, 188},
        {296, 3, 1, 2},
    };
    for (int i = 0; i < 13; ++i) {
        put(10 + 12 * i, entries[i][0], 2);
        put(12 + 12 * i, entries[i][1], 2);
        put(14 + 12 * i, entries[i][2], 4);
        put(18 + 12 * i, entries[i][3], 4);
    }
    if (rgb) {
        put(176, 8, 2);
        put(178, 8, 2);
        put(180, 8, 2);
    }
    put(188, rgb ? 75 : 150, 4);
    put(192, 1, 4);
    return b;
}

class TiffWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = MakeTempDir(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
    RecordingHooks hooks_;
};

TEST_F(TiffWriterTest, WritesTheFixedHeadThenThePixels) {
    for (int kind : {qx::kRestoredRgb, qx::kRestoredGrey}) {
        SCOPED_TRACE(kind);
        const bool rgb = kind == qx::kRestoredRgb;
        const std::vector<uint8_t> pixels = Pattern(640 * 480 * (rgb ? 3 : 1));
        const std::string name = path(rgb ? "rgb.tif" : "grey.tif");
        ASSERT_EQ(qx::WriteRestoredTiff(name, pixels.data(), 640, 480, kind, hooks_), 0);

        const std::vector<uint8_t> file = ReadFileBytes(name);
        ASSERT_EQ(file.size(), 200 + pixels.size());
        EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 200),
                  ExpectedHead(640, 480, rgb));
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 200));
    }
    EXPECT_TRUE(hooks_.messages.empty());
}

TEST_F(TiffWriterTest, OverwritingALongerFileLeavesExactlyTheNewLength) {
    for (int kind : {qx::kRestoredRgb, qx::kRestoredGrey}) {
        SCOPED_TRACE(kind);
        const std::string name = path("over.tif");
        WriteFileBytes(name, std::vector<uint8_t>(100000, 0xEE));
        const std::vector<uint8_t> pixels = Pattern(40 * 36 * 3);
        ASSERT_EQ(qx::WriteRestoredTiff(name, pixels.data(), 40, 36, kind, hooks_), 0);
        EXPECT_EQ(std::filesystem::file_size(name),
                  200u + 40 * 36 * (kind == qx::kRestoredRgb ? 3 : 1));
    }
}

TEST_F(TiffWriterTest, TheReaderGetsTheSameRgbBytesBackAndRefusesGrey) {
    const std::vector<uint8_t> pixels = Pattern(741 * 500 * 3);
    ASSERT_EQ(
        qx::WriteRestoredTiff(path("rgb.tif"), pixels.data(), 741, 500, qx::kRestoredRgb, hooks_),
        0);
    TiffResult rgb = ReadTiffFile(path("rgb.tif"));
    ASSERT_EQ(rgb.status, 0);
    EXPECT_EQ(rgb.width, 741);
    EXPECT_EQ(rgb.length, 500);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), rgb.pixels.begin()));

    ASSERT_EQ(
        qx::WriteRestoredTiff(path("grey.tif"), pixels.data(), 100, 100, qx::kRestoredGrey, hooks_),
        0);
    TiffResult grey = ReadTiffFile(path("grey.tif"));
    EXPECT_EQ(grey.status, -2);
    EXPECT_EQ(grey.hooks.messages, std::vector<std::string>{"File isn't type True Colour (RGB)"});
}

TEST_F(TiffWriterTest, UnknownKindWritesNothingAndSaysNothing) {
    const std::vector<uint8_t> pixels(64 * 64 * 3);
    for (int kind : {0, 1, 4}) {
        EXPECT_EQ(qx::WriteRestoredTiff(path("none.tif"), pixels.data(), 64, 64, kind, hooks_), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(path("none.tif")));
    EXPECT_TRUE(hooks_.messages.empty());
}

TEST_F(TiffWriterTest, FailuresAreReportedOnce) {
    const std::vector<uint8_t> pixels(64 * 64 * 3);
    RecordingHooks hooks;
    EXPECT_EQ(qx::WriteRestoredTiff(path("missing/dir.tif"), pixels.data(), 64, 64,
                                    qx::kRestoredRgb, hooks),
              1);
    // A device is not a regular file: refused before anything is written.
    EXPECT_EQ(qx::WriteRestoredTiff("/dev/full", pixels.data(), 64, 64, qx::kRestoredRgb, hooks),
              1);
    EXPECT_EQ(hooks.messages, (std::vector<std::string>{"Open BitMap Err.", "Open BitMap Err."}));
}

}  // namespace
}  // namespace qxtest
