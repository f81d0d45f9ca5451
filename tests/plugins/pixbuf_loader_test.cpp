// The gdk-pixbuf loader as programs use it: found through a loaders cache and the picture type,
// loading whole files and pieces to the decode entry's pixels, and the thumbnailer making a PNG.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "container/decode_memory.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

// Set before gdk-pixbuf and GIO read them, once per process.
const bool kEnvironment = [] {
    setenv("GDK_PIXBUF_MODULE_FILE", QX_PIXBUF_CACHE, 1);
    setenv("XDG_DATA_DIRS", QX_XDG_DATA_DIR ":/usr/local/share:/usr/share", 1);
    return true;
}();

std::vector<std::string> ReferenceFiles() {
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator(qxtest::DataPath("conformance"))) {
        if (entry.path().extension() == ".qx1") paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The pixbuf's rows without padding.
std::vector<uint8_t> Rgb(GdkPixbuf* pixbuf) {
    EXPECT_EQ(gdk_pixbuf_get_n_channels(pixbuf), 3);
    const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    const guchar* pixels = gdk_pixbuf_read_pixels(pixbuf);
    std::vector<uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        rgb.insert(rgb.end(), pixels + y * stride, pixels + y * stride + 3 * width);
    }
    return rgb;
}

// Feeds the loader `piece` bytes at a time; returns the picture or null with `error` set.
GdkPixbuf* LoadInPieces(const std::vector<uint8_t>& bytes, size_t piece, GError** error) {
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("qx1", error);
    if (!loader) return nullptr;
    bool ok = true;
    for (size_t at = 0; ok && at < bytes.size(); at += piece) {
        ok = gdk_pixbuf_loader_write(loader, bytes.data() + at, std::min(piece, bytes.size() - at),
                                     error);
    }
    ok = gdk_pixbuf_loader_close(loader, ok ? error : nullptr) && ok;
    GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (pixbuf) g_object_ref(pixbuf);
    g_object_unref(loader);
    return pixbuf;
}

int RunThumbnailer(const std::string& input, const std::string& output) {
    const std::string command =
        "gdk-pixbuf-thumbnailer -s 128 '" + input + "' '" + output + "' 2>/dev/null";
    return std::system(command.c_str());
}

TEST(PixbufLoader, WholeFilesAndPiecesGiveTheDecodedPixels) {
    ASSERT_TRUE(kEnvironment);
    const std::vector<std::string> files = ReferenceFiles();
    ASSERT_EQ(files.size(), 20u);
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const std::vector<uint8_t> bytes = qxtest::ReadFileBytes(path);
        const qx::MemoryDecodeResult expected = qx::DecodeCompressedMemory(bytes);
        ASSERT_EQ(expected.status, qx::MemoryDecodeStatus::Ok);

        GError* error = nullptr;
        GdkPixbuf* whole = gdk_pixbuf_new_from_file(path.c_str(), &error);
        ASSERT_NE(whole, nullptr) << error->message;
        EXPECT_EQ(gdk_pixbuf_get_width(whole), expected.picture.width);
        EXPECT_EQ(gdk_pixbuf_get_height(whole), expected.picture.length);
        EXPECT_EQ(Rgb(whole), expected.picture.rgb);
        g_object_unref(whole);

        GdkPixbuf* pieces = LoadInPieces(bytes, 7, &error);
        ASSERT_NE(pieces, nullptr) << error->message;
        EXPECT_EQ(Rgb(pieces), expected.picture.rgb);
        g_object_unref(pieces);
    }
}

TEST(PixbufLoader, DamagedFilesGiveTheReadersMessageAndNoPicture) {
    const std::string dir = qxtest::MakeTempDir();
    std::vector<uint8_t> bytes =
        qxtest::ReadFileBytes(qxtest::DataPath("conformance/noise33-high.qx1"));
    bytes.resize(bytes.size() - 100);
    const std::string path = dir + "/cut.qx1";
    qxtest::WriteFileBytes(path, bytes);

    GError* error = nullptr;
    EXPECT_EQ(gdk_pixbuf_new_from_file(path.c_str(), &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(g_error_matches(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE));
    EXPECT_NE(std::string(error->message).find("Compr. File 'image' isn't correct."),
              std::string::npos)
        << error->message;
    g_clear_error(&error);

    EXPECT_EQ(LoadInPieces(bytes, 1000, &error), nullptr);
    ASSERT_NE(error, nullptr);
    EXPECT_STREQ(error->message, "Compr. File 'image' isn't correct.");
    g_clear_error(&error);

    EXPECT_NE(RunThumbnailer(path, dir + "/cut.png"), 0);
    EXPECT_FALSE(fs::exists(dir + "/cut.png"));
    fs::remove_all(dir);
}

TEST(PixbufLoader, ThumbnailerWritesThePictureScaledByGdkPixbuf) {
    const std::string dir = qxtest::MakeTempDir();
    const std::string input = qxtest::DataPath("conformance/checker97x600-high.qx1");
    const std::string output = dir + "/thumb.png";
    ASSERT_EQ(RunThumbnailer(input, output), 0);

    GError* error = nullptr;
    GdkPixbuf* thumbnail = gdk_pixbuf_new_from_file(output.c_str(), &error);
    ASSERT_NE(thumbnail, nullptr) << error->message;
    GdkPixbuf* scaled = gdk_pixbuf_new_from_file_at_size(input.c_str(), 128, 128, &error);
    ASSERT_NE(scaled, nullptr) << error->message;
    EXPECT_EQ(gdk_pixbuf_get_height(thumbnail), 128);
    EXPECT_EQ(gdk_pixbuf_get_width(thumbnail), gdk_pixbuf_get_width(scaled));
    EXPECT_EQ(Rgb(thumbnail), Rgb(scaled));
    g_object_unref(thumbnail);
    g_object_unref(scaled);
    fs::remove_all(dir);
}

}  // namespace
