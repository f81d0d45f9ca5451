// The Qt image plugin as QImageReader uses it: listed among the formats, the size before the
// picture, the decode entry's pixels, recognition by content, and clean failures.
#include <gtest/gtest.h>

#include <QtCore/QBuffer>
#include <QtGui/QImage>
#include <QtGui/QImageReader>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "container/decode_memory.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Set before Qt looks for plugins, once per process.
const bool kEnvironment = [] {
    setenv("QT_PLUGIN_PATH", QX_PLUGIN_DIR "/qt", 1);
    return true;
}();

std::vector<uint8_t> Rgb(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<uint8_t> out;
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* row = rgb.constScanLine(y);
        out.insert(out.end(), row, row + 3 * rgb.width());
    }
    return out;
}

TEST(QtImagePlugin, ReaderListsTheFormatAndReadsEveryReferenceFile) {
    ASSERT_TRUE(kEnvironment);
    EXPECT_TRUE(QImageReader::supportedImageFormats().contains("qx1"));
    EXPECT_TRUE(QImageReader::supportedMimeTypes().contains("image/x-qx1"));

    int files = 0;
    for (const auto& entry : fs::directory_iterator(qxtest::DataPath("conformance"))) {
        if (entry.path().extension() != ".qx1") continue;
        ++files;
        SCOPED_TRACE(entry.path().string());
        const qx::MemoryDecodeResult expected =
            qx::DecodeCompressedMemory(qxtest::ReadFileBytes(entry.path()));
        ASSERT_EQ(expected.status, qx::MemoryDecodeStatus::Ok);

        QImageReader reader(QString::fromStdString(entry.path().string()));
        EXPECT_EQ(reader.format(), "qx1");
        EXPECT_EQ(reader.size(), QSize(expected.picture.width, expected.picture.length));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(Rgb(image), expected.picture.rgb);
    }
    EXPECT_EQ(files, 20);
}

TEST(QtImagePlugin, RecognisesTheContentUnderAnotherNameAndFailsCleanlyOnDamage) {
    const std::string renamed = qxtest::MakeTempDir() + "/picture.bin";
    fs::copy_file(qxtest::DataPath("conformance/chelsea-clear.qx1"), renamed);
    QImageReader byContent(QString::fromStdString(renamed));
    EXPECT_EQ(byContent.format(), "qx1");
    EXPECT_EQ(byContent.read().size(), QSize(451, 300));
    fs::remove_all(fs::path(renamed).parent_path());

    const std::vector<uint8_t> good =
        qxtest::ReadFileBytes(qxtest::DataPath("conformance/noise33-high.qx1"));
    std::vector<std::vector<uint8_t>> damaged{good, good, good};
    damaged[0].resize(60);  // title and a sliver of the body
    damaged[1][18] = 32;    // a low band of 32 x 32 trees
    damaged[2][17] = 0;     // QualityBase 0
    for (const auto& bytes : damaged) {
        QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                        static_cast<int>(bytes.size()));
        QBuffer buffer(&data);
        QImageReader reader(&buffer, "qx1");
        EXPECT_TRUE(reader.read().isNull());
        EXPECT_FALSE(reader.errorString().isEmpty());
    }
}

}  // namespace
