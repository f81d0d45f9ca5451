// The BMP reader: corpus files, row order and padding, and files it must refuse.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "base/file_handle.h"
#include "imageio/bmp_reader.h"
#include "support/picture_files.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

using qx::BmpStatus;

std::vector<uint8_t> MakeBmp(int width, int height, bool topDown, uint32_t infoSize = 40) {
    BmpShape shape;
    shape.width = width;
    shape.height = height;
    shape.topDown = topDown;
    shape.infoSize = infoSize;
    return qxtest::MakeBmp(shape);
}

// Reads from memory and from a file; both ways must agree.
BmpStatus Load(const std::vector<uint8_t>& bytes, qx::BmpLayout& layout,
               std::vector<uint8_t>& rgb) {
    BmpStatus status = qx::ReadBmpLayout(bytes, layout);
    if (status == BmpStatus::Ok) {
        rgb.assign(layout.rgbSize(), 0);
        status = qx::ReadBmpPixels(bytes, layout, rgb);
    }

    const std::string dir = MakeTempDir();
    WriteFileBytes(dir + "/pic.bmp", bytes);
    qx::FileHandle file = qx::FileHandle::open(dir + "/pic.bmp", qx::FileHandle::Mode::ReadOnly);
    qx::BmpLayout fileLayout;
    BmpStatus fileStatus = qx::ReadBmpLayout(file, fileLayout);
    std::vector<uint8_t> fileRgb;
    if (fileStatus == BmpStatus::Ok) {
        fileRgb.assign(fileLayout.rgbSize(), 0);
        fileStatus = qx::ReadBmpPixels(file, fileLayout, fileRgb);
    }
    file.close();
    std::filesystem::remove_all(dir);

    EXPECT_EQ(status, fileStatus);
    if (status == BmpStatus::Ok) {
        EXPECT_EQ(rgb, fileRgb);
    }
    return status;
}

TEST(BmpReader, RowsComeTopToBottomInRgbOrder) {
    // 35 pixels make 105-byte rows padded to 108; V5 heads put the pixels at 138. 1000 x 90
    // pixels are read from the file in more than one piece.
    for (auto [w, h] : {std::pair{35, 7}, std::pair{1000, 90}}) {
        for (bool topDown : {false, true}) {
            for (uint32_t infoSize : {40u, 124u}) {
                SCOPED_TRACE(testing::Message()
                             << w << " topDown " << topDown << " info " << infoSize);
                qx::BmpLayout layout;
                std::vector<uint8_t> rgb;
                ASSERT_EQ(Load(MakeBmp(w, h, topDown, infoSize), layout, rgb), BmpStatus::Ok);
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        uint8_t expected[3];
                        BmpPixel(x, y, expected);
                        ASSERT_EQ(std::memcmp(&rgb[(y * w + x) * 3], expected, 3), 0)
                            << x << "," << y;
                    }
                }
            }
        }
    }
    // The image-size field plays no part, whatever it holds.
    std::vector<uint8_t> bytes = MakeBmp(35, 7, false);
    qx::BmpLayout layout;
    std::vector<uint8_t> expected, rgb;
    ASSERT_EQ(Load(bytes, layout, expected), BmpStatus::Ok);
    for (uint32_t size : {0u, 7u * 108 + 2, 0xFFFFFFFFu}) {
        PutLe(bytes, 34, size, 4);
        ASSERT_EQ(Load(bytes, layout, rgb), BmpStatus::Ok);
        EXPECT_EQ(rgb, expected);
    }
}

TEST(BmpReader, TruncatedAndHostileFilesAreRefused) {
    const std::vector<uint8_t> good = MakeBmp(35, 7, false);
    auto with = [&good](size_t at, uint32_t v, int bytes) {
        std::vector<uint8_t> b = good;
        PutLe(b, at, v, bytes);
        return b;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        BmpStatus status;
    };
    std::vector<uint8_t> corpus = ReadFileBytes(CorpusPath("chelsea.bmp"));
    corpus.resize(corpus.size() - 1000);
    const std::vector<Case> cases = {
        {"shorter than the head", std::vector<uint8_t>(good.begin(), good.begin() + 53),
         BmpStatus::ReadFailed},
        {"last pixel missing", std::vector<uint8_t>(good.begin(), good.end() - 4),
         BmpStatus::Truncated},
        {"corpus file cut short", corpus, BmpStatus::Truncated},
        {"no signature", with(0, 'X', 1), BmpStatus::NotBmp},
        {"two planes", with(26, 2, 2), BmpStatus::NotBmp},
        {"8 bits", with(28, 8, 2), BmpStatus::NotTrueColour},
        {"run-length coded", with(30, 1, 4), BmpStatus::Compressed},
        {"width 0", with(18, 0, 4), BmpStatus::NotBmp},
        {"negative width", with(18, static_cast<uint32_t>(-35), 4), BmpStatus::NotBmp},
        {"most negative height", with(22, 0x80000000u, 4), BmpStatus::NotBmp},
        {"huge width", with(18, 0x7FFFFFFF, 4), BmpStatus::NotBmp},
        {"huge height", with(22, 1u << 20, 4), BmpStatus::Truncated},
        {"pixels inside the head", with(10, 20, 4), BmpStatus::NotBmp},
        {"pixels past the end", with(10, 0xFFFFFFF0u, 4), BmpStatus::Truncated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qx::BmpLayout layout;
        std::vector<uint8_t> rgb;
        EXPECT_EQ(Load(c.bytes, layout, rgb), c.status);
    }
}

}  // namespace
}  // namespace qxtest
