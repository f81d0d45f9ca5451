// The BMP reader: corpus files, row order and padding, and files it must refuse.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_handle.h"
#include "imageio/bmp_reader.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

using qx::BmpStatus;

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Pixel (x, y), counted from the top, is red x, green y, blue x + y.
std::vector<uint8_t> MakeBmp(int width, int height, bool topDown, uint32_t infoSize = 40) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const size_t offset = 14 + infoSize;
    std::vector<uint8_t> b(offset + stride * height, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<uint32_t>(b.size()), 4);
    Put(b, 10, static_cast<uint32_t>(offset), 4);
    Put(b, 14, infoSize, 4);
    Put(b, 18, static_cast<uint32_t>(width), 4);
    Put(b, 22, static_cast<uint32_t>(topDown ? -height : height), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, 24, 2);
    Put(b, 34, static_cast<uint32_t>(stride * height), 4);
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &b[offset + fileRow * stride + 3 * x];
            p[0] = static_cast<uint8_t>(x + y);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>(x);
        }
    }
    return b;
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

TEST(BmpReader, CorpusPicturesLoadWithTheirTrueSizes) {
    struct Case {
        const char* name;
        int width, height;
    };
    for (const Case& c : {Case{"astronaut.bmp", 512, 512}, Case{"chelsea.bmp", 451, 300},
                          Case{"graf1.bmp", 800, 640}}) {
        SCOPED_TRACE(c.name);
        qx::BmpLayout layout;
        std::vector<uint8_t> rgb;
        ASSERT_EQ(Load(ReadFileBytes(CorpusPath(c.name)), layout, rgb), BmpStatus::Ok);
        EXPECT_EQ(layout.width, c.width);
        EXPECT_EQ(layout.height, c.height);
        EXPECT_EQ(rgb.size(), static_cast<size_t>(c.width) * c.height * 3);
    }
}

TEST(BmpReader, RowsComeTopToBottomInRgbOrder) {
    // 35 pixels make 105-byte rows padded to 108; V5 heads put the pixels at 138.
    for (bool topDown : {false, true}) {
        for (uint32_t infoSize : {40u, 124u}) {
            SCOPED_TRACE(testing::Message() << "topDown " << topDown << " info " << infoSize);
            qx::BmpLayout layout;
            std::vector<uint8_t> rgb;
            ASSERT_EQ(Load(MakeBmp(35, 7, topDown, infoSize), layout, rgb), BmpStatus::Ok);
            for (int y = 0; y < 7; ++y) {
                for (int x = 0; x < 35; ++x) {
                    const uint8_t* p = &rgb[(y * 35 + x) * 3];
                    ASSERT_EQ(p[0], x);
                    ASSERT_EQ(p[1], y);
                    ASSERT_EQ(p[2], x + y);
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
        Put(bytes, 34, size, 4);
        ASSERT_EQ(Load(bytes, layout, rgb), BmpStatus::Ok);
        EXPECT_EQ(rgb, expected);
    }
}

TEST(BmpReader, TruncatedAndHostileFilesAreRefused) {
    const std::vector<uint8_t> good = MakeBmp(35, 7, false);
    auto with = [&good](size_t at, uint32_t v, int bytes) {
        std::vector<uint8_t> b = good;
        Put(b, at, v, bytes);
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
