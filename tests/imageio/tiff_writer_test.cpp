// The restored-picture TIFF writer: its fixed head (pinned by checksum), file lengths, failures,
// and reading back.
#include <gtest/gtest.h>

#include <filesystem>

#include "imageio/tiff_reader.h"
#include "imageio/tiff_writer.h"
#include "support/test_support.h"
#include "tiff_test_files.h"

namespace qxtest {
namespace {

class TiffWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = MakeTempDir(); }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
    RecordingHooks hooks_;
};

TEST_F(TiffWriterTest, WritesTheFixedHeadThenThePixelsOverALongerFile) {
    struct Case {
        int kind;
        int samples;
        const char* headSha256;  // of the 200-byte head for 640 x 480
    };
    for (const Case& c :
         {Case{qx::kRestoredRgb, 3,
               "82930dc9795cd3ef039420be29474278a04accba79ec903cd9254bd5c61ce950"},
          Case{qx::kRestoredGrey, 1,
               "6eb153ac37286fa2a307b1e0fde84ba962e2bd322494e9fc0184b6e0fbe2c7f9"}}) {
        SCOPED_TRACE(c.kind);
        const std::vector<uint8_t> pixels = Pattern(640 * 480 * c.samples);
        const std::string name = path("over.tif");
        WriteFileBytes(name, std::vector<uint8_t>(2000000, 0xEE));
        ASSERT_EQ(qx::WriteRestoredTiff(name, pixels.data(), 640, 480, c.kind, hooks_), 0);

        const std::vector<uint8_t> file = ReadFileBytes(name);
        ASSERT_EQ(file.size(), 200 + pixels.size());
        EXPECT_EQ(Sha256Hex(file.data(), 200), c.headSha256);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 200));
    }
    EXPECT_TRUE(hooks_.messages.empty());
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
