// Loading pictures for compression: the extension rules, every reader with its messages, the
// checks before anything large is allocated, and the state the codec is left in.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "codec/load_analysis.h"
#include "codec/pre_adjust_colours.h"
#include "load/picture_loader.h"
#include "support/picture_files.h"
#include "support/scripted_dialogs.h"
#include "support/settable_memory.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

const SettableMemory kPlenty;
const SettableMemory kNone(0);

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

class PictureLoader : public ::testing::Test {
  protected:
    std::unique_ptr<qx::Codec> codec = std::make_unique<qx::Codec>();
    ScriptedDialogs dialogs;
    std::string dir = MakeTempDir();

    qx::LoadOutcome load(const std::string& name, const qx::MemoryStatusSource& memory = kPlenty) {
        return qx::LoadPicture(*codec, dialogs, {name}, memory);
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        WriteFileBytes(path, bytes);
        return path;
    }
    void expectRefused(const qx::LoadOutcome& result, const std::string& text, bool banner) {
        EXPECT_FALSE(result.loaded());
        EXPECT_EQ(result.showBanner, banner) << text;
        EXPECT_EQ(dialogs.texts(), std::vector<std::string>{text});
        dialogs.boxes.clear();
    }
};

struct CorpusPicture {
    const char* name;
    int width;
    int length;
    bool jpeg;
};

TEST_F(PictureLoader, CorpusPicturesOfEachReaderLoadWithTheirTrueSizes) {
    // One of each reader; qx1's corpus test loads the rest.
    const CorpusPicture pictures[] = {{"chelsea.bmp", 451, 300, false},
                                      {"aloe1024.tif", 1024, 1024, false},
                                      {"hubble.jpg", 1000, 872, true}};
    for (const CorpusPicture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const std::string path = CorpusPath(picture.name);
        const qx::LoadOutcome result = load(path);
        ASSERT_TRUE(result.loaded());
        EXPECT_TRUE(dialogs.boxes.empty());
        EXPECT_EQ(result.width, picture.width);
        EXPECT_EQ(result.length, picture.length);
        EXPECT_EQ(codec->state.Width, picture.width);
        EXPECT_EQ(codec->state.Length, picture.length);
        EXPECT_EQ(result.reader == qx::PictureReader::Jpeg, picture.jpeg);
        if (picture.jpeg) {
            EXPECT_EQ(result.jpegFileLength, static_cast<int64_t>(ReadFileBytes(path).size()));
        }
        EXPECT_EQ(static_cast<int64_t>(codec->state.PictureBuffer.size()),
                  qx::PictureBufferSize(result.pictureBufferBase, result.width, result.length));
        EXPECT_LE(codec->params.ReferenceChannel, 1);
    }
}

// A codec that loads one picture after another hands its blocks from the reader to the picture
// in different ways (trading blocks, moving pages, copying) as their sizes change; each picture
// must come out as the decoded pixels, smoothed and adjusted.
TEST_F(PictureLoader, PicturesLoadedInTurnAreTheirDecodedPixelsPrepared) {
    for (const char* name : {"aloe1024.tif", "aloe1024.tif", "chelsea.bmp", "aloe1024.tif",
                             "hubble.jpg", "coffee.tif"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> decoded;
        const qx::LoadOutcome result =
            qx::LoadPicture(*codec, dialogs, {CorpusPath(name)}, kPlenty, &decoded);
        ASSERT_TRUE(result.loaded());
        std::vector<uint8_t> expected(decoded.size());
        qx::SmoothBusyAreas(decoded.data(), expected.data(), result.width, result.length);
        qx::PreAdjustColours(expected.data(), result.width, result.length);
        const auto& picture = codec->state.PictureBuffer;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), picture.begin()));
    }
}

TEST_F(PictureLoader, ExtensionRulesTakeTheFourthLastCharacterCaseSensitively) {
    for (const char* name : {"a.b", "ab", "pic.jpeg", "x"})
        expectRefused(load(dir + "/" + name), "Unknown file.", false);
    // ".Jpg" is not a JPEG name: a file that is no picture at all goes to the TIFF reader.
    const std::vector<uint8_t> jpeg = ReadFileBytes(CorpusPath("baboon.jpg"));
    const qx::LoadOutcome mixedCase = load(write("pic.Jpg", {'I', 'x', 42, 0, 8, 0, 0, 0}));
    EXPECT_FALSE(mixedCase.loaded());
    EXPECT_EQ(mixedCase.reader, qx::PictureReader::Tiff);
    EXPECT_FALSE(dialogs.boxes.empty());
    dialogs.boxes.clear();
    // Upper-case spellings are the same readers.
    EXPECT_TRUE(load(write("PIC.JPG", jpeg)).loaded());
    EXPECT_TRUE(load(write("PIC.BMP", MakeBmp({}))).loaded());
}

TEST_F(PictureLoader, MissingFilesAreReportedAndNeverCreated) {
    expectRefused(load(dir + "/missing.tif"), " File cann't be open.", false);
    expectRefused(load(dir + "/missing.png"), " File cann't be open.", false);
    expectRefused(load(dir + "/missing.bmp"), "Title of File '" + dir + "/missing.bmp' isn't read",
                  true);
    expectRefused(load(dir + "/missing.jpg"), "Open JPEG Err.", true);
    for (const char* name : {"missing.tif", "missing.png", "missing.bmp", "missing.jpg"})
        EXPECT_FALSE(Exists(dir + "/" + name)) << name;
}

TEST_F(PictureLoader, JpegThatIsNotTrueColourOrIsDamaged) {
    expectRefused(load(CorpusPath("camera-grey.jpg")), "File isn't True Colour (RGB)", true);
    const std::vector<uint8_t> jpeg = ReadFileBytes(CorpusPath("baboon.jpg"));
    expectRefused(load(write("head.jpg", {jpeg.begin(), jpeg.begin() + 300})), "Open JPEG Err.",
                  true);
    expectRefused(load(write("garbage.jpg", std::vector<uint8_t>(5000, 0x5A))), "Open JPEG Err.",
                  true);
    expectRefused(load(write("empty.jpg", {})), "Open JPEG Err.", true);
    // Cut inside the entropy-coded data: libjpeg warns, fills the rest and the picture loads.
    const qx::LoadOutcome cut =
        load(write("cut.jpg", {jpeg.begin(), jpeg.begin() + jpeg.size() / 2}));
    EXPECT_TRUE(cut.loaded());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(PictureLoader, BmpHeaderChecksGiveTheirMessages) {
    BmpShape grey;
    grey.bitCount = 8;
    expectRefused(load(write("grey.bmp", MakeBmp(grey))), "File isn't True Colour (RGB)", true);
    BmpShape rle;
    rle.compression = 1;
    expectRefused(load(write("rle.bmp", MakeBmp(rle))), "Compress BMP-File cann't read", true);
    std::vector<uint8_t> planes = MakeBmp({});
    planes[26] = 2;
    expectRefused(load(write("planes.bmp", planes)), "Unknown File Format", true);
    const std::string shortName = write("short.bmp", std::vector<uint8_t>(53, 0));
    expectRefused(load(shortName), "Title of File '" + shortName + "' isn't read", true);
    // A sound header over missing rows: the reader refuses it.
    std::vector<uint8_t> cut = MakeBmp({});
    cut.resize(cut.size() / 2);
    expectRefused(load(write("cut.bmp", cut)), "Unknown File Format", true);
}

TEST_F(PictureLoader, BmpIsNeverWritten) {
    BmpShape shape;
    shape.imageSizeExtra = 2;  // size field's low byte not zero and not a multiple of 4
    const std::string path = write("odd.bmp", MakeBmp(shape));
    ::chmod(path.c_str(), 0444);
    struct stat before {};
    ::stat(path.c_str(), &before);
    const std::vector<uint8_t> bytes = ReadFileBytes(path);

    ASSERT_TRUE(load(path).loaded());
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST_F(PictureLoader, SizeLimitsComeBeforeDecodingWidthFirst) {
    struct Case {
        int width, height;
        std::string text;
    } cases[] = {
        {1025, 40, "(Width=1025) > (MaxWidth=1024)"},
        {40, 1025, "(Length=1025) > (MaxLength=1024)"},
        {2000, 2000, "(Width=2000) > (MaxWidth=1024)"},
        {32, 100, "(Width=32) < (MinWidth=33)"},
        {100, 32, "(Length=32) < (MinLength=33)"},
        {1, 1, "(Width=1) < (MinWidth=33)"},
    };
    for (const Case& c : cases) {
        BmpShape shape;
        shape.width = c.width;
        shape.height = c.height;
        expectRefused(load(write("size.bmp", MakeBmp(shape))), c.text, true);
    }
    BmpShape smallest;
    smallest.width = smallest.height = 33;
    EXPECT_TRUE(load(write("small.bmp", MakeBmp(smallest))).loaded());
}

TEST_F(PictureLoader, DecliningTheMemoryQuestionStopsTheLoad) {
    const std::string bmp = write("pic.bmp", MakeBmp({}));
    // BMP: the banner stays hidden; JPEG and TIFF show it again.
    expectRefused(load(bmp, kNone),
                  bmp + ":  There is few memory for file. Do you want to continue?", false);
    const std::string jpeg = CorpusPath("baboon.jpg");
    expectRefused(load(jpeg, kNone),
                  jpeg + ":  There is few memory for file. Do you want to continue?", true);
    // Going on loads the picture.
    dialogs.answers = {qx::Answer::Yes};
    EXPECT_TRUE(load(bmp, kNone).loaded());
}

TEST_F(PictureLoader, LoadingResetsTheFieldsOnlyACompressedFileSets) {
    codec->params.GreyFlag = 1;
    codec->params.ComponentCount = 1;
    codec->params.QualityBase = 4;
    codec->params.CropFlag = 1;
    codec->params.FocusMode = 3;
    ASSERT_TRUE(load(write("pic.bmp", MakeBmp({}))).loaded());
    EXPECT_EQ(codec->params.GreyFlag, 0);
    EXPECT_EQ(codec->params.ComponentCount, 3);
    EXPECT_EQ(codec->params.QualityBase, 10);
    EXPECT_EQ(codec->params.CropFlag, 0);
    EXPECT_EQ(codec->params.FocusMode, 0);
}

TEST(PictureBufferSize, FormulaOrTheNormalisedBlockWhicheverIsLarger) {
    // BMP 33 x 33: base 97 x 4 x 97, s = trunc(2 sqrt(50181 / 6)) = 182.
    EXPECT_EQ(qx::PictureBufferSize(97 * 4 * 97, 33, 33), 4 * 182 * 182);
    // A small TIFF's file length gives less than the 64 x 64 block the picture is widened to.
    EXPECT_EQ(qx::PictureBufferSize(3467, 33, 33), 4 * 64 * 64 + 4);
    // Sizes that wrap 32-bit arithmetic stay positive and large.
    EXPECT_GT(qx::PictureBufferSize(int64_t{3} << 30, 1024, 1024), int64_t{3} << 30);
}

}  // namespace
}  // namespace qxtest
