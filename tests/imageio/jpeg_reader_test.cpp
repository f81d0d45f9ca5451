// The JPEG reader: header first, then full-size RGB; damaged input fails without ending the run.
#include <gtest/gtest.h>

#include <filesystem>

#include "imageio/jpeg_reader.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

TEST(JpegReader, DecodesFullSizeRgbTheSameFromFileOrMemory) {
    qx::JpegReader fromFile;
    ASSERT_TRUE(fromFile.readHeader(CorpusPath("rocket.jpg")));
    std::vector<uint8_t> a(640 * 427 * 3, 0);
    ASSERT_TRUE(fromFile.decodeRgb(a)) << fromFile.error();
    EXPECT_EQ(fromFile.warnings(), 0);

    qx::JpegReader fromMemory;
    ASSERT_TRUE(fromMemory.readHeader(ReadFileBytes(CorpusPath("rocket.jpg"))));
    std::vector<uint8_t> b(640 * 427 * 3 + 10, 0x5A);
    ASSERT_TRUE(fromMemory.decodeRgb(b));
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
    EXPECT_EQ(b.back(), 0x5A);  // nothing written past the picture

    // One byte too few: nothing is decoded, nothing written.
    ASSERT_TRUE(fromMemory.readHeader(ReadFileBytes(CorpusPath("rocket.jpg"))));
    std::vector<uint8_t> small(640 * 427 * 3 - 1, 0x11);
    EXPECT_FALSE(fromMemory.decodeRgb(small));
    EXPECT_TRUE(std::all_of(small.begin(), small.end(), [](uint8_t v) { return v == 0x11; }));

    // A photograph: the last row is decoded, and the channels differ.
    const size_t lastRow = static_cast<size_t>(426) * 640 * 3;
    EXPECT_TRUE(std::any_of(a.begin() + lastRow, a.end(), [](uint8_t v) { return v != 0; }));
    long difference = 0;
    for (size_t i = 0; i < a.size(); i += 3) difference += std::abs(a[i] - a[i + 2]);
    EXPECT_GT(difference, 0);
}

TEST(JpegReader, DamagedFilesFailCleanly) {
    const std::vector<uint8_t> jpeg = ReadFileBytes(CorpusPath("fruits.jpg"));
    qx::JpegReader reader;

    EXPECT_FALSE(reader.readHeader(std::vector<uint8_t>()));
    EXPECT_FALSE(reader.error().empty());
    EXPECT_FALSE(reader.readHeader(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + 100)));
    std::vector<uint8_t> garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    EXPECT_FALSE(reader.readHeader(garbage));
    EXPECT_FALSE(reader.readHeader("/nonexistent/picture.jpg"));

    // Cut in the middle of the scan: the header reads; decoding either fails or goes on over
    // the missing data with a warning. Either way the test keeps running.
    ASSERT_TRUE(
        reader.readHeader(std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2)));
    std::vector<uint8_t> rgb(512 * 480 * 3);
    if (reader.decodeRgb(rgb)) {
        EXPECT_GT(reader.warnings(), 0);
    }

    // A header whose scan is garbage.
    std::vector<uint8_t> scrambled = jpeg;
    for (size_t i = scrambled.size() / 3; i < scrambled.size() - 2; ++i) scrambled[i] ^= 0xA5;
    ASSERT_TRUE(reader.readHeader(scrambled));
    if (reader.decodeRgb(rgb)) {
        EXPECT_GT(reader.warnings(), 0);
    }
}

}  // namespace
}  // namespace qxtest
