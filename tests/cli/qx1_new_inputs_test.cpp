// qx1 with the pictures people have today: files read by what they hold whatever their name,
// PNG input giving the same file as the BMP of the same pixels, --fit leaving pictures within
// the limits alone, and decompression to PNG and PNM.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_qx1.h"
#include "imageio/bmp_reader.h"
#include "imageio/png_reader.h"
#include "support/png_files.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

TEST(Qx1NewInputs, FilesAreReadByContentUnderAnyNameAndFitLeavesSmallPicturesAlone) {
    const std::string dir = MakeTempDir();
    // chelsea.bmp's pixels as a PNG: compresses to the same bytes as the BMP.
    const std::vector<uint8_t> bmp = ReadFileBytes(CorpusPath("chelsea.bmp"));
    qx::BmpLayout layout;
    ASSERT_EQ(qx::ReadBmpLayout(bmp, layout), qx::BmpStatus::Ok);
    std::vector<uint8_t> rgb(layout.rgbSize());
    ASSERT_EQ(qx::ReadBmpPixels(bmp, layout, rgb), qx::BmpStatus::Ok);
    const std::vector<uint8_t> png = MakePng({layout.width, layout.height, 2, 8, false, {}}, rgb);

    struct Source {
        std::string name;  // correctly named; its .qx1 is the reference
        std::vector<uint8_t> bytes;
        std::string wrong;  // an extension the name rule reads as another kind
    };
    const Source sources[] = {
        {"chelsea.bmp", bmp, ".tif"},
        {"hubble.jpg", ReadFileBytes(CorpusPath("hubble.jpg")), ".bmp"},
        {"coffee.tif", ReadFileBytes(CorpusPath("coffee.tif")), ".jpg"},
        {"aloe1024.tif", ReadFileBytes(CorpusPath("aloe1024.tif")), ".bmp"},
    };
    std::vector<std::string> named, renamed;
    for (const Source& s : sources) {
        const std::string base = s.name.substr(0, s.name.find('.'));
        WriteFileBytes(dir + "/" + s.name, s.bytes);
        named.push_back(s.name);
        for (const std::string& name :
             {base + "-w" + s.wrong, base + "-j.jpeg", base + "-t.tiff", base + "-n"}) {
            WriteFileBytes(dir + "/" + name, s.bytes);
            renamed.push_back(name);
        }
    }
    WriteFileBytes(dir + "/screenshot.png", png);
    renamed.push_back("screenshot.png");

    std::vector<std::string> args = {"compress", "-j", "2"};
    args.insert(args.end(), named.begin(), named.end());
    args.insert(args.end(), renamed.begin(), renamed.end());
    const Qx1Run run = RunQx1(args, dir, {kEpoch});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& name : renamed) {
        const std::string base = name.substr(0, name.find_first_of("-."));
        const std::string reference = (base == "screenshot" ? "chelsea" : base) + ".qx1";
        const std::string output = name.substr(0, name.find('.')) + ".qx1";
        EXPECT_EQ(ReadFileBytes(dir + "/" + output), ReadFileBytes(dir + "/" + reference)) << name;
    }

    // --fit changes nothing for pictures within the limits (aloe1024 is 1024 x 1024).
    args = {"compress", "--fit", "-o", dir + "/fit/"};
    args.insert(args.end(), named.begin(), named.end());
    ASSERT_EQ(RunQx1(args, dir, {kEpoch}).status, 0);
    for (const std::string& name : named) {
        const std::string output = name.substr(0, name.find('.')) + ".qx1";
        EXPECT_EQ(ReadFileBytes(dir + "/fit/" + output), ReadFileBytes(dir + "/" + output)) << name;
    }
}

TEST(Qx1NewInputs, DecompressWritesPngAndPnmWithTheTiffsPixels) {
    const std::string dir = MakeTempDir();
    const std::string input = ConformancePath("chelsea-high.qx1");
    for (const char* output : {"x.tif", "x.png", "x.ppm"})
        ASSERT_EQ(RunQx1({"decompress", "-o", dir + "/" + output, input}, dir).status, 0) << output;
    const std::vector<uint8_t> tiff = ReadFileBytes(dir + "/x.tif");
    const std::vector<uint8_t> pixels(tiff.begin() + 200, tiff.end());

    const std::vector<uint8_t> png = ReadFileBytes(dir + "/x.png");
    qx::PngReader reader;
    ASSERT_TRUE(reader.readHeader(png)) << reader.error();
    std::vector<uint8_t> decoded(pixels.size());
    ASSERT_TRUE(reader.decodeRgb(decoded)) << reader.error();
    EXPECT_TRUE(decoded == pixels);

    const std::vector<uint8_t> ppm = ReadFileBytes(dir + "/x.ppm");
    const std::string head = "P6\n451 300\n255\n";
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(head.size())), head);
    EXPECT_TRUE(std::vector<uint8_t>(ppm.begin() + static_cast<long>(head.size()), ppm.end()) ==
                pixels);
}

}  // namespace
}  // namespace qxtest
