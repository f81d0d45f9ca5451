// "Open Image File", "Close" and the compression commands' guard, with scripted dialogs.
#include <gtest/gtest.h>

#include <filesystem>

#include "appcore/command_fixture.h"
#include "support/png_files.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

// The menu at start-up, after Close and after a failed open.
const qx::MenuState kNoPicture = MenuOf("++---+-+");
const qx::MenuState kPictureOpened = MenuOf("++--+++-");

using OpenImageCommand = CommandTest;

TEST_F(OpenImageCommand, OpenedPictureIsShownWithNameAndSize) {
    Open(Corpus("astronaut.bmp"));
    EXPECT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes.front().text;
    EXPECT_EQ(main_.menu, kPictureOpened);
    EXPECT_EQ(main_.caption, "QX WendoCompressor  astronaut.bmp   768.0 Kb  (512*512)");
    EXPECT_FALSE(main_.bannerVisible);
    EXPECT_EQ(dialogs_.openFilters.back(), qx::kImageFilter);
    EXPECT_EQ(commands_->session().PictureState, 1);
    EXPECT_EQ(commands_->session().OutputName, "astronaut.bmp");
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(dir_));

    // Left viewer: the largest view across, the picture's length down, centred in its half.
    EXPECT_TRUE(left_.shown);
    EXPECT_FALSE(right_.shown);
    EXPECT_EQ(Place(left_.rect), (std::array<int, 4>{20, 60, 472, 512}));
    EXPECT_EQ(left_.pointer, qx::Pointer::Hand);

    const qx::ViewState& v = views_->state();
    EXPECT_TRUE(v.NavigatorDrawn);
    EXPECT_EQ(Frames(v.nav), (std::array<int, 8>{20, 548, 100, 100, 21, 549, 92, 98}));
    EXPECT_EQ(v.nav.outer, qx::NavigatorColour::White);
    EXPECT_EQ(v.nav.inner, qx::NavigatorColour::Red);
}

TEST_F(OpenImageCommand, JpegCaptionShowsTheFileLength) {
    const std::string name = Corpus("baboon.jpg");
    const auto bytes = static_cast<int64_t>(std::filesystem::file_size(name));
    Open(name);
    EXPECT_EQ(main_.menu, kPictureOpened);
    const std::string kb = std::to_string(bytes >> 10) + "." + std::to_string((bytes % 1024) >> 7);
    EXPECT_EQ(main_.caption, "QX WendoCompressor  baboon.jpg   " + kb + " Kb  (512*512)");
}

TEST_F(OpenImageCommand, PictureThatFitsTheViewHasNoHandAndDoesNotPan) {
    auto dragFar = [&] {
        views_->mouseDown(qx::Side::Source, 10, 10);
        views_->mouseMove(qx::Side::Source, 200, 200);
        views_->mouseUp(qx::Side::Source);
    };
    const std::string flat = InDir("flat128.bmp");
    std::filesystem::copy_file(ConformancePath("flat128.bmp"), flat);
    Open(flat);
    ASSERT_EQ(main_.menu, kPictureOpened);
    EXPECT_EQ(views_->state().ViewWidth, 128);
    EXPECT_EQ(left_.pointer, qx::Pointer::Arrow);
    dragFar();
    EXPECT_EQ(views_->state().ViewX, 0);
    EXPECT_EQ(views_->state().ViewY, 0);

    // 33 columns show as 32: the one column left over is all the panning there is.
    const std::string noise = InDir("noise33.bmp");
    std::filesystem::copy_file(ConformancePath("noise33.bmp"), noise);
    Open(noise);
    ASSERT_EQ(main_.menu, kPictureOpened);
    EXPECT_EQ(views_->state().ViewWidth, 32);
    EXPECT_EQ(left_.rect.clientWidth, 33);
    EXPECT_EQ(left_.pointer, qx::Pointer::Hand);
    dragFar();
    EXPECT_EQ(views_->state().ViewX, 1);
    EXPECT_EQ(views_->state().ViewY, 0);
}

TEST_F(OpenImageCommand, CancelledOpenShowsTheBannerAgainAndCompressionDoesNothing) {
    commands_->openImageFile();
    EXPECT_EQ(main_.menu, kNoPicture);
    EXPECT_TRUE(main_.bannerVisible);
    EXPECT_TRUE(dialogs_.boxes.empty());
    commands_->compress(qx::CompressionChoice::High);
    EXPECT_EQ(main_.menu, kNoPicture);
    EXPECT_EQ(commands_->session().PictureState, 0);
}

struct FailedOpen {
    const char* file;     // written into the test's directory
    const char* content;  // "corpus:<name>" copies a corpus picture
    const char* message;
    bool banner;
};

class OpenImageFailure : public CommandTest, public ::testing::WithParamInterface<FailedOpen> {};

TEST_P(OpenImageFailure, ShowsItsMessageAndLeavesNothingOpen) {
    const FailedOpen& f = GetParam();
    const std::string content = f.content;
    const std::string name = InDir(f.file);
    if (content.rfind("corpus:", 0) == 0) {
        std::filesystem::copy_file(CorpusPath(content.substr(7)), name);
    } else if (!content.empty()) {
        WriteFileBytes(name, std::vector<uint8_t>(content.begin(), content.end()));
    }
    Open(name);
    ASSERT_FALSE(dialogs_.boxes.empty());
    EXPECT_EQ(dialogs_.boxes.front().text, f.message);
    EXPECT_EQ(main_.menu, kNoPicture);
    EXPECT_EQ(main_.bannerVisible, f.banner);
    EXPECT_FALSE(left_.shown);
    EXPECT_EQ(main_.caption, "QX WendoCompressor");
    for (const ShownBox& b : dialogs_.boxes) EXPECT_FALSE(b.lockedWhenShown) << b.text;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenImageFailure,
    ::testing::Values(FailedOpen{"pic.jpeg", "not a picture", "Unknown file.", false},
                      FailedOpen{"ab", "xx", "Unknown file.", false},
                      FailedOpen{"grey.jpg", "corpus:camera-grey.jpg",
                                 "File isn't True Colour (RGB)", true},
                      FailedOpen{"missing.tif", "", " File cann't be open.", false}));

TEST_F(OpenImageCommand, TooLargePictureIsOfferedScaledDown) {
    // 2048 x 1536 of one colour: after the size message, the question; Yes opens it at half size.
    const std::string name = InDir("large.png");
    WriteFileBytes(name, MakePng({2048, 1536, 0, 8, false, {}},
                                 std::vector<uint8_t>(size_t{2048} * 1536, 90)));
    const std::vector<std::string> said = {"(Width=2048) > (MaxWidth=1024)",
                                           "Scale it down to 1024 x 768 and open it?"};
    Open(name);
    EXPECT_EQ(dialogs_.texts(), said);
    EXPECT_EQ(main_.menu, kNoPicture);
    EXPECT_TRUE(main_.bannerVisible);
    EXPECT_EQ(main_.caption, "QX WendoCompressor");

    dialogs_.boxes.clear();
    dialogs_.answers.push_back(qx::Answer::Yes);
    Open(name);
    EXPECT_EQ(dialogs_.texts(), said);
    EXPECT_EQ(main_.menu, kPictureOpened);
    EXPECT_EQ(main_.caption, "QX WendoCompressor  large.png   2304.0 Kb  (1024*768)");
}

TEST_F(OpenImageCommand, CloseLeavesTheMenuAsAtStartAndShowsTheBanner) {
    Open(Corpus("astronaut.bmp"));
    commands_->closeFile();
    EXPECT_EQ(main_.menu, kNoPicture);
    EXPECT_EQ(main_.caption, "QX WendoCompressor");
    EXPECT_TRUE(main_.bannerVisible);
    EXPECT_FALSE(left_.shown);
    EXPECT_FALSE(views_->state().NavigatorDrawn);
    EXPECT_EQ(views_->state().nav.outer, qx::NavigatorColour::Background);
}

}  // namespace
}  // namespace qxtest
