#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "appcore/package_fixture.h"
#include "support/picture_files.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

using qx::Answer;
namespace fs = std::filesystem;

const char* kSingular = "The compressed file was saved at directory:\n'";
const char* kPlural = "The compressed files were saved at directory:\n'";

// A compressed file with its CompressionTime (bytes 40-43) cleared: files written a second
// apart differ there.
std::vector<uint8_t> WithoutTime(std::vector<uint8_t> bytes) {
    if (bytes.size() >= 44) std::fill(bytes.begin() + 40, bytes.begin() + 44, 0);
    return bytes;
}

std::vector<std::string> Names(const std::string& stem, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(stem + std::to_string(i) + ".bmp");
    return names;
}

TEST_F(PackageTest, EveryBatchSizeEndsTheBarAtExactlyHundred) {
    for (int count : {1, 3, 4, 150}) {
        SCOPED_TRACE(count);
        dialogs = {};
        progress = {};
        std::vector<std::string> files;
        for (const std::string& name : Names("p" + std::to_string(count) + "-", count))
            files.push_back(writeBmp(name));
        const qx::PackageResult result = run(files);
        EXPECT_EQ(result.savedCount, count);
        EXPECT_EQ(progress.last(), 100);
        EXPECT_TRUE(std::is_sorted(progress.values.begin(), progress.values.end()));
        EXPECT_FALSE(progress.shown);
        ASSERT_EQ(progress.captions.size(), static_cast<size_t>(count));
        EXPECT_EQ(progress.captions.back(),
                  " Compr: " + std::to_string(count) + " from " + std::to_string(count) + " - p" +
                      std::to_string(count) + "-" + std::to_string(count - 1) + ".bmp  ");
        ASSERT_GE(dialogs.boxes.size(), 2u);
        EXPECT_EQ(dialogs.boxes.front().text,
                  "Select or create directory\nfor save compressed files");
        EXPECT_EQ(dialogs.boxes.front().caption,
                  count == 1 ? "  1 image file is chosen"
                             : "  " + std::to_string(count) + " image files are chosen");
        EXPECT_EQ(dialogs.boxes.back().kind, "information");
        EXPECT_EQ(dialogs.boxes.back().text, (count == 1 ? kSingular : kPlural) + target);
        EXPECT_EQ(dialogs.boxes.size(), 2u);
        const std::string stem = "p" + std::to_string(count) + "-";
        EXPECT_TRUE(fs::is_regular_file(targetFile(stem + std::to_string(count - 1) + ".qx1")));
        expectBoxesUnlocked();
        // Three files advance by their shares, in three steps each.
        if (count == 3) {
            EXPECT_EQ(progress.values, std::vector<int>({0, 11, 22, 33, 44, 55, 66, 77, 88, 100}));
        }
    }
}

TEST_F(PackageTest, ExtensionsDecideWhatHappensToAFile) {
    const std::string gif = source + "/skip.gif";
    WriteFileBytes(gif, {1, 2, 3});
    const std::string tiff = source + "/wide.tiff";
    WriteFileBytes(tiff, {1, 2, 3});
    dialogs.answers = {Answer::Yes};
    const qx::PackageResult result = run({gif, tiff, writeBmp("kept.bmp")});
    EXPECT_EQ(result.savedCount, 1);
    const std::vector<std::string> texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], "Unknown file's extension.");
    EXPECT_EQ(texts[2], "wide.tiff: Unknown file's extension. Do you want to compress next files?");
    EXPECT_EQ(texts[3], kSingular + target);
    EXPECT_FALSE(fs::exists(targetFile("skip.qx1")));
    EXPECT_TRUE(fs::exists(targetFile("kept.qx1")));
    expectBoxesUnlocked();

    dialogs = {};
    dialogs.answers = {Answer::No};
    EXPECT_EQ(run({tiff, writeBmp("later.bmp")}).savedCount, 0);
    EXPECT_FALSE(fs::exists(targetFile("later.qx1")));
    EXPECT_NE(dialogs.boxes.back().kind, "information");
}

TEST_F(PackageTest, AnExistingOutputIsKeptOrStopsTheBatch) {
    fs::create_directories(target);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    WriteFileBytes(targetFile("b.qx1"), old);
    const std::vector<std::string> files = {writeBmp("a.bmp"), writeBmp("b.bmp"),
                                            writeBmp("c.bmp")};

    dialogs.answers = {Answer::No};
    EXPECT_EQ(run(files).savedCount, 2);
    EXPECT_EQ(ReadFileBytes(targetFile("b.qx1")), old);
    EXPECT_TRUE(fs::exists(targetFile("c.qx1")));
    EXPECT_EQ(dialogs.texts()[1], "File 'b.qx1' already exist. Replace it?");
    EXPECT_EQ(dialogs.boxes[1].kind, "yesnocancel");
    expectBoxesUnlocked();

    fs::remove(targetFile("a.qx1"));
    fs::remove(targetFile("c.qx1"));
    dialogs = {};
    dialogs.answers = {Answer::Cancel};
    EXPECT_EQ(run(files).savedCount, 1);
    EXPECT_EQ(ReadFileBytes(targetFile("b.qx1")), old);
    EXPECT_FALSE(fs::exists(targetFile("c.qx1")));
    EXPECT_EQ(dialogs.boxes.back().text, kSingular + target);

    dialogs = {};
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(run({files[1]}).savedCount, 1);
    EXPECT_EQ(WithoutTime(ReadFileBytes(targetFile("b.qx1"))),
              WithoutTime(ReadFileBytes(targetFile("a.qx1"))));
}

TEST_F(PackageTest, TheDirectoryDialogCanBeRetriedOrGivenUp) {
    const std::string file = writeBmp("a.bmp");
    dialogs.opened = {file};
    dialogs.answers = {Answer::Cancel};
    EXPECT_EQ(qx::RunPackageCompression(codec, container, dialogs, progress, memory).savedCount, 0);
    ASSERT_EQ(dialogs.texts().size(), 2u);
    EXPECT_EQ(dialogs.boxes[1].kind, "retrycancel");
    EXPECT_EQ(dialogs.boxes[1].text, "Directory isn't selected");
    EXPECT_FALSE(progress.everShown);
    EXPECT_TRUE(progress.bannerVisible);

    dialogs = {};
    dialogs.opened = {file};
    dialogs.answers = {Answer::Retry};
    dialogs.directories = {"", target + "/made/here"};
    EXPECT_EQ(qx::RunPackageCompression(codec, container, dialogs, progress, memory).savedCount, 1);
    EXPECT_EQ(dialogs.directoryDialogs, 2);
    EXPECT_TRUE(fs::exists(target + "/made/here/a.qx1"));

    dialogs = {};
    EXPECT_EQ(qx::RunPackageCompression(codec, container, dialogs, progress, memory).savedCount, 0);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(PackageTest, PictureProblemsAskOrStop) {
    BmpShape large;
    large.width = 1100;
    BmpShape palette;
    palette.bitCount = 8;

    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(run({writeBmp("big.bmp", large), writeBmp("fine.bmp")}).savedCount, 1);
    EXPECT_EQ(dialogs.texts()[1], "(Width=1100) > (MaxWidth=1024)");
    EXPECT_EQ(dialogs.texts()[2], "big.bmp: Do you want to compress next files?");
    expectBoxesUnlocked();

    dialogs = {};
    EXPECT_EQ(run({writeBmp("grey.bmp", palette), writeBmp("after.bmp")}).savedCount, 0);
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>({dialogs.texts()[0], "File isn't True Colour (RGB)"}));
    EXPECT_FALSE(fs::exists(targetFile("after.qx1")));

    const std::string broken = source + "/broken.tif";
    WriteFileBytes(broken, {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0});
    dialogs = {};
    EXPECT_EQ(run({broken, writeBmp("after.bmp")}).savedCount, 0);
    EXPECT_EQ(dialogs.boxes.back().text, "broken.tif: Compress next files?");
    EXPECT_FALSE(fs::exists(targetFile("after.qx1")));

    dialogs = {};
    EXPECT_EQ(run({source + "/missing.tif"}).savedCount, 0);
    EXPECT_EQ(dialogs.boxes.back().text, " File Cann't be open.");
    EXPECT_FALSE(fs::exists(source + "/missing.tif"));
    expectBoxesUnlocked();
}

TEST_F(PackageTest, AnOutputThatCannotBeCreatedAsksToGoOn) {
    fs::create_directories(targetFile("a.qx1"));
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(run({writeBmp("a.bmp"), writeBmp("b.bmp")}).savedCount, 1);
    EXPECT_EQ(dialogs.texts()[1], "a.qx1: Open Err.\n Compress next files?");
    EXPECT_TRUE(fs::exists(targetFile("b.qx1")));
    EXPECT_FALSE(fs::exists(source + "/a.qx1"));
}

TEST_F(PackageTest, AVanishedTargetWritesNothingAnywhere) {
    dialogs.onLock = [this](bool block) {
        if (block) fs::remove_all(target);
    };
    EXPECT_EQ(run({writeBmp("a.bmp"), writeBmp("b.bmp")}).savedCount, 0);
    const std::vector<std::string> texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "Directory  '" + target + "'  not found.");
    EXPECT_EQ(texts[2], "a.qx1: Open Err.\n Compress next files?");
    EXPECT_FALSE(fs::exists(source + "/a.qx1"));
    EXPECT_FALSE(fs::exists(target));
    expectBoxesUnlocked();
}

TEST_F(PackageTest, BrokenOrMissingInputsAskOrStopWithoutCreatingFiles) {
    const std::string garbage = source + "/garbage.jpg";
    WriteFileBytes(garbage, {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 4, 5});
    dialogs.answers = {Answer::Yes};
    EXPECT_EQ(run({garbage, writeBmp("fine.bmp")}).savedCount, 1);
    EXPECT_EQ(dialogs.texts()[1],
              "garbage.jpg: Open JPEG Err. Do you want to compress next files?");
    EXPECT_EQ(dialogs.boxes.size(), 3u);

    dialogs = {};
    const std::string missing = source + "/missing.bmp";
    EXPECT_EQ(run({missing, writeBmp("after.bmp")}).savedCount, 0);
    EXPECT_EQ(dialogs.boxes.back().text, "Title of File '" + missing + "' isn't read");
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_FALSE(fs::exists(targetFile("after.qx1")));
    expectBoxesUnlocked();
}

TEST_F(PackageTest, CorpusPicturesGiveTheReferenceFiles) {
    const std::vector<std::string> names = {"astronaut.bmp", "coffee.tif", "chelsea.bmp"};
    std::vector<std::string> files;
    for (const std::string& name : names) {
        fs::copy_file(CorpusPath(name), source + "/" + name);
        files.push_back(source + "/" + name);
    }
    ASSERT_EQ(run(files).savedCount, 3);
    for (const std::string& name : names) {
        const std::string stem = name.substr(0, name.size() - 4);
        EXPECT_EQ(WithoutTime(ReadFileBytes(targetFile(stem + ".qx1"))),
                  WithoutTime(ReadFileBytes(ConformancePath(stem + "-high.qx1"))))
            << name;
    }
}

}  // namespace
}  // namespace qxtest
