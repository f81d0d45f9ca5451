// The TIFF reader on generated files, good and bad. (qx1 reads the corpus files to the
// reference bytes.)
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "codec/split_work.h"
#include "imageio/tiff_reader.h"
#include "support/test_support.h"
#include "tiff_test_files.h"

namespace qxtest {
namespace {

const std::string kFile = ". File 'pic.tif'";
const std::string kNotTrueColour = "File isn't type True Colour (RGB)";

std::vector<uint8_t> Bytes(const std::function<void(TiffBuilder&)>& change, int width = 40,
                           int length = 36, int samples = 3, int rowsPerStrip = 0) {
    TiffBuilder tiff = PictureTiff(width, length, samples, rowsPerStrip);
    change(tiff);
    return tiff.build();
}

void NoChange(TiffBuilder&) {}

// The picture file with one entry set or replaced.
std::vector<uint8_t> Set(uint16_t tag, uint16_t type, uint32_t count, uint32_t value,
                         int rowsPerStrip = 0) {
    return Bytes([&](TiffBuilder& t) { t.set(tag, type, count, value); }, 40, 36, 3, rowsPerStrip);
}

TEST(TiffReader, StripsAreJoinedInListOrderWhereverTheyLie) {
    // Strips stored in reverse order, the last one short; the large picture is read in several
    // pieces, shared with a helper thread when there is one.
    qx::HelperThread helper;
    for (qx::HelperThread* h : {static_cast<qx::HelperThread*>(nullptr), &helper}) {
        for (auto [width, length, rows] :
             {std::array{40, 36, 5}, std::array{400, 300, 0}, std::array{400, 300, 70}}) {
            SCOPED_TRACE(testing::Message() << width << " x " << length << " helper " << !!h);
            TiffResult r = ReadTiffBytes(Bytes(NoChange, width, length, 3, rows), 0, false, h);
            ASSERT_EQ(r.status, 0);
            const std::vector<uint8_t> expected = Pattern(size_t(width) * length * 3);
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(), r.pixels.begin()));
        }
        // A strip past the end fails the read, whichever thread meets it.
        TiffBuilder tiff = PictureTiff(400, 300, 3, 70);
        tiff.set(273, kTypeLong, 5, tiff.appendLongs({8, 8, 8, 8, 1u << 30}));
        EXPECT_EQ(ReadTiffBytes(tiff.build(), 0, false, h).status, 3);
    }
}

TEST(TiffReader, TwoShortStripsAreTakenFromTheValueField) {
    TiffBuilder tiff = PictureTiff(40, 36);
    const std::vector<uint8_t> pixels = Pattern(40 * 36 * 3);
    const uint32_t second = tiff.append({pixels.begin() + 2160, pixels.end()});
    const uint32_t first = tiff.append({pixels.begin(), pixels.begin() + 2160});
    ASSERT_LT(second, 65536u);
    tiff.set(273, kTypeShort, 2, first | (second << 16));
    tiff.set(279, kTypeShort, 2, 2160u | (2160u << 16));
    TiffResult r = ReadTiffBytes(tiff.build());
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), r.pixels.begin()));
}

TEST(TiffReader, StripsAreReadOnlyUpToThePictureSize) {
    // The strips declare twice the picture; with an output of exactly the picture's size,
    // nothing is written past it (the sanitizer build checks the bound).
    TiffBuilder tiff = PictureTiff(40, 36);
    const std::vector<uint8_t> pixels = Pattern(40 * 36 * 3 * 2);
    const uint32_t at = tiff.append(pixels);
    tiff.set(273, kTypeLong, 2, tiff.appendLongs({at, at + 4320}));
    tiff.set(279, kTypeLong, 2, tiff.appendLongs({4320, 4320}));
    TiffResult r = ReadTiffBytes(tiff.build(), 40 * 36 * 3);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(std::equal(r.pixels.begin(), r.pixels.end(), pixels.begin()));
}

TEST(TiffReader, FourSamplesBecomeThree) {
    auto groups = [](uint16_t photometric, std::vector<uint8_t> samples) {
        TiffBuilder tiff = PictureTiff(33, 33, 4);
        std::vector<uint8_t> pixels(33 * 33 * 4, 0);
        std::copy(samples.begin(), samples.end(), pixels.begin());
        tiff.set(273, kTypeLong, 1, tiff.append(pixels));
        tiff.set(262, kTypeShort, 1, photometric);
        TiffResult r = ReadTiffBytes(tiff.build());
        EXPECT_EQ(r.status, 0);
        return std::vector<uint8_t>(r.pixels.begin(), r.pixels.begin() + 3 * 33 * 33);
    };
    // CMYK: 255 - ((c x k) >> 8) - c, at least 0.
    const std::vector<uint8_t> cmyk = groups(5, {0, 0, 0, 0, 255, 0, 0, 255, 100, 50, 200, 128});
    EXPECT_EQ(std::vector<uint8_t>(cmyk.begin(), cmyk.begin() + 9),
              (std::vector<uint8_t>{255, 255, 255, 0, 255, 255, 105, 180, 0}));
    EXPECT_EQ(cmyk.back(), 255);  // an all-zero group further on
    // Any other interpretation keeps the first three samples.
    const std::vector<uint8_t> rgba = groups(2, {1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_EQ(std::vector<uint8_t>(rgba.begin(), rgba.begin() + 6),
              (std::vector<uint8_t>{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(rgba.back(), 0);
}

TEST(TiffReader, ErrorsShowTheirTextAndTheFileName) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int status;
        std::string message;
        size_t capacity = 0;
    };
    std::vector<uint8_t> bigEndian = Bytes(NoChange);
    bigEndian[0] = bigEndian[1] = 'M';
    std::vector<uint8_t> pastEnd = Bytes(NoChange);
    pastEnd[4] = 0xFF;
    pastEnd[5] = 0xFF;
    std::vector<uint8_t> tooManyEntries(100, 0);
    tooManyEntries[0] = tooManyEntries[1] = 'I';
    tooManyEntries[4] = 8;
    tooManyEntries[8] = 400 & 0xFF;
    tooManyEntries[9] = 400 >> 8;

    // 1024 x 1024 in 1000 strips that all point at offset 8 of a 10 KB file.
    std::vector<uint8_t> sameStrips = Bytes([](TiffBuilder& t) {
        t.append(std::vector<uint8_t>(10000, 7));
        t.set(256, kTypeShort, 1, 1024).set(257, kTypeShort, 1, 1024);
        t.set(273, kTypeLong, 1000, t.appendLongs(std::vector<uint32_t>(1000, 8)));
        t.set(279, kTypeLong, 1000, t.appendLongs(std::vector<uint32_t>(1000, 3146)));
    });

    const std::vector<Case> cases = {
        {"big-endian", bigEndian, 4, "File isn't for IBM PC"},
        {"directory past the end", pastEnd, 5, "File lenght isn't correct"},
        {"400 entries in 100 bytes", tooManyEntries, 5, "File lenght isn't correct"},
        {"width 0", Bytes([](TiffBuilder& t) { t.remove(256); }), 6, "Tag '256' isn't correct"},
        {"length 0", Set(257, kTypeShort, 1, 0), 6, "Tag '257' isn't correct"},
        {"width 32767", Set(256, kTypeShort, 1, 32767), 12, "BitMap WIDTH is too large"},
        {"LONG width 70000", Set(256, kTypeLong, 1, 70000), 12, "BitMap WIDTH is too large"},
        {"16-bit grey", Set(258, kTypeShort, 1, 16), 7, "Unknown GRAY-regime"},
        {"bits 8, 8, 16", Bytes([](TiffBuilder& t) {
             t.set(258, kTypeShort, 3, t.appendShorts({8, 8, 16}));
         }),
         8, "Unknown RGB-regime."},
        {"bits list past the end", Set(258, kTypeShort, 3, 1u << 30), 8, "Unknown RGB-regime."},
        {"two samples", Set(258, kTypeShort, 2, 0x00080008), 9, "Unknown Data Type"},
        {"no Compression entry", Bytes([](TiffBuilder& t) { t.remove(259); }), 10,
         "This version is without compression"},
        {"packbits", Set(259, kTypeShort, 1, 32773), 10, "This version is without compression"},
        {"strip offset 0", Set(273, kTypeLong, 1, 0), 11, "The BeginBitMap-pointer is NULL"},
        {"strip past the end", Set(273, kTypeLong, 1, 4000), 14,
         "LengthBitMap + Data111h > LengthFile "},
        {"picture larger than the output", sameStrips, 14, "LengthBitMap + Data111h > LengthFile "},
        {"picture one byte over the output", Bytes(NoChange), 14,
         "LengthBitMap + Data111h > LengthFile ", 40 * 36 * 3 - 1},
        {"12 offsets, 11 counts", Set(279, kTypeLong, 11, 8, 3), 17, "Uncorrect tags 111h & 117h"},
        {"no strips", Set(273, kTypeLong, 0, 8), 17, "Uncorrect tags 111h & 117h"},
        {"BYTE strip counts", Set(279, kTypeByte, 12, 8, 3), 17, "Uncorrect tags 111h & 117h"},
        {"20000 LONG strips", Bytes([](TiffBuilder& t) {
             t.set(273, kTypeLong, 20000, 8).set(279, kTypeLong, 20000, 8);
         }),
         17, "Uncorrect tags 111h & 117h"},
        {"strips giving half the picture",
         Bytes(
             [](TiffBuilder& t) {
                 t.set(279, kTypeLong, 2, t.appendLongs({1080, 1080}));
             },
             40, 36, 3, 18),
         17, "Uncorrect tags 111h & 117h"},
        {"strip list past the end", Set(279, kTypeLong, 2, 1u << 30, 18), 3, "Read error"},
        {"a strip past the end",
         Bytes(
             [](TiffBuilder& t) {
                 t.set(273, kTypeLong, 2, t.appendLongs({8, 1u << 30}));
             },
             40, 36, 3, 18),
         3, "Read error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffResult r = ReadTiffBytes(c.file, c.capacity);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.hooks.messages, std::vector<std::string>{c.message + kFile});
    }
}

TEST(TiffReader, UnreadableStartIsSilent) {
    for (size_t size : {0, 5}) {
        TiffResult r = ReadTiffBytes(std::vector<uint8_t>(size, 'I'));
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(r.hooks.messages.empty());
    }
}

TEST(TiffReader, NotTrueColourKindsAreRefused) {
    struct Case {
        const char* what;
        std::function<void(TiffBuilder&)> change;
        int status;
    };
    const std::vector<Case> cases = {
        {"bilevel", [](TiffBuilder& t) { t.set(258, kTypeShort, 1, 1); }, -1},
        {"grey", [](TiffBuilder& t) { t.set(258, kTypeShort, 1, 8); }, -2},
        {"4-bit grey", [](TiffBuilder& t) { t.set(258, kTypeShort, 1, 4); }, -2},
        {"palette",
         [](TiffBuilder& t) { t.set(258, kTypeShort, 1, 8).set(320, kTypeShort, 768, 8); }, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffResult r = ReadTiffBytes(Bytes(c.change));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.hooks.messages, std::vector<std::string>{kNotTrueColour});
    }
}

TEST(TiffReader, SidesOutsideTheLimitsAreRefusedWidthFirst) {
    struct Case {
        int width, length;
        uint16_t lengthType;
        std::string message;
    };
    const std::vector<Case> cases = {
        {1025, 1025, kTypeShort, "(Width=1025) > (MaxWidth=1024)"},
        {1024, 1025, kTypeShort, "(Length=1025) > (MaxLength=1024)"},
        {40, 100000, kTypeLong, "(Length=100000) > (MaxLength=1024)"},
        {32, 100, kTypeShort, "(Width=32) < (MinWidth=33)"},
        {100, 32, kTypeShort, "(Length=32) < (MinLength=33)"},
        {20, 2000, kTypeShort, "(Length=2000) > (MaxLength=1024)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        TiffResult r = ReadTiffBytes(Bytes([&](TiffBuilder& t) {
            t.set(256, kTypeShort, 1, c.width).set(257, c.lengthType, 1, c.length);
        }));
        EXPECT_EQ(r.status, -2);
        EXPECT_EQ(r.hooks.messages, std::vector<std::string>{c.message});
    }
    // The limits themselves are accepted.
    TiffResult r = ReadTiffBytes(PictureTiff(1024, 33).build());
    EXPECT_EQ(r.status, 0);
    r = ReadTiffBytes(PictureTiff(33, 1024).build());
    EXPECT_EQ(r.status, 0);
}

TEST(TiffReader, DeclinedMemoryQuestionReturns96Silently) {
    TiffResult r = ReadTiffBytes(Bytes(NoChange), 0, true);
    EXPECT_EQ(r.status, 96);
    EXPECT_TRUE(r.hooks.messages.empty());
}

TEST(TiffReader, ReadsOfDifferentFilesDoNotShareTags) {
    // A file with a Compression entry, then one without: the second must not inherit it.
    EXPECT_EQ(ReadTiffBytes(Bytes(NoChange)).status, 0);
    EXPECT_EQ(ReadTiffBytes(Bytes([](TiffBuilder& t) { t.remove(259); })).status, 10);
}

}  // namespace
}  // namespace qxtest
