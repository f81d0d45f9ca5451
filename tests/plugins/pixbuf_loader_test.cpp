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
        QX_HOST_ENV " gdk-pixbuf-thumbnailer -s 128 " + input + " " + output + " 2>/dev/null";
    return std::system(command.c_str());
}

TEST(PixbufLoader, WholeFilesAndPiecesGiveTheDecodedPixels) {
    ASSERT_TRUE(kEnvironment);
    for (const auto& entry : fs::directory_iterator(qxtest::DataPath("conformance"))) {
        if (entry.path().extension() != ".qx1") continue;
        const std::string path = entry.path();
        SCOPED_TRACE(path);
        const std::vector<uint8_t> bytes = qxtest::ReadFileBytes(path);
        const qx::MemoryDecodeResult expected = qx::DecodeCompressedMemory(bytes);
        ASSERT_EQ(expected.status, qx::MemoryDecodeStatus::Ok);

        GError* error = nullptr;
        for (GdkPixbuf* pixbuf :
             {gdk_pixbuf_new_from_file(path.c_str(), &error), LoadInPieces(bytes, 7, &error)}) {
            ASSERT_NE(pixbuf, nullptr) << error->message;
            EXPECT_EQ(gdk_pixbuf_get_width(pixbuf), expected.picture.width);
            EXPECT_EQ(Rgb(pixbuf), expected.picture.rgb);
            g_object_unref(pixbuf);
        }
    }
}

TEST(PixbufLoader, ThumbnailerWritesTheScaledPictureAndNothingForADamagedFile) {
    const std::string dir = qxtest::MakeTempDir();
    const std::string input = qxtest::DataPath("conformance/checker97x600-high.qx1");
    ASSERT_EQ(RunThumbnailer(input, dir + "/thumb.png"), 0);
    GError* error = nullptr;
    GdkPixbuf* thumbnail = gdk_pixbuf_new_from_file((dir + "/thumb.png").c_str(), &error);
    ASSERT_NE(thumbnail, nullptr) << error->message;
    GdkPixbuf* scaled = gdk_pixbuf_new_from_file_at_size(input.c_str(), 128, 128, &error);
    ASSERT_NE(scaled, nullptr) << error->message;
    EXPECT_EQ(gdk_pixbuf_get_height(thumbnail), 128);
    EXPECT_EQ(Rgb(thumbnail), Rgb(scaled));
    g_object_unref(thumbnail);
    g_object_unref(scaled);

    std::vector<uint8_t> bytes = qxtest::ReadFileBytes(input);
    bytes.resize(bytes.size() - 100);
    const std::string cut = dir + "/cut.qx1";
    qxtest::WriteFileBytes(cut, bytes);
    EXPECT_EQ(gdk_pixbuf_new_from_file(cut.c_str(), &error), nullptr);
    ASSERT_TRUE(g_error_matches(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE));
    EXPECT_TRUE(g_str_has_suffix(error->message, "Compr. File 'image' isn't correct."));
    g_clear_error(&error);
    EXPECT_EQ(LoadInPieces(bytes, 1000, &error), nullptr);
    ASSERT_NE(error, nullptr);
    g_clear_error(&error);
    EXPECT_NE(RunThumbnailer(cut, dir + "/cut.png"), 0);
    EXPECT_FALSE(fs::exists(dir + "/cut.png"));
    fs::remove_all(dir);
}

}  // namespace
