// The compression commands and saving the result: menu, result label, the second compression,
// and the bytes written compared with the reference files.
#include <gtest/gtest.h>

#include <filesystem>

#include "appcore/command_fixture.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

const qx::MenuState kCompressed = MenuOf("---++-+-+");

// The reference files hold CompressionTime 0; compare everything else.
void ExpectSameAsReference(const std::vector<uint8_t>& written, const std::string& reference) {
    std::vector<uint8_t> expected = ReadFileBytes(ConformancePath(reference));
    ASSERT_EQ(written.size(), expected.size()) << reference;
    std::vector<uint8_t> actual = written;
    for (int i = 40; i < 44; ++i) actual[i] = expected[i] = 0;
    EXPECT_TRUE(actual == expected) << reference;
}

std::string LabelFor(int64_t body, int width, int length) {
    const int64_t ratio = (int64_t{width} * length * 3 + body / 2) / body;
    return "V =   " + std::to_string(body >> 10) + "." + std::to_string((body % 1024) >> 7) +
           " Kb   --> 1 : " + std::to_string(ratio);
}

using CompressCommand = CommandTest;

TEST_F(CompressCommand, ResultIsShownBesideTheSourceAndExitIsOff) {
    Open(Corpus("chelsea.bmp"));
    ASSERT_TRUE(left_.shown);
    commands_->compress(qx::CompressionChoice::High);
    EXPECT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes.front().text;
    EXPECT_EQ(main_.menu, kCompressed);
    EXPECT_FALSE(main_.menu.exit);
    EXPECT_EQ(commands_->session().PictureState, 2);
    EXPECT_EQ(commands_->session().OutputName, "chelsea.qx1");
    EXPECT_EQ(codec_.params.CompressionMode, 0);
    EXPECT_EQ(codec_.params.Quality, 0);

    // Right viewer in the right half, at the same size; the label under it.
    ASSERT_TRUE(right_.shown);
    EXPECT_EQ(Place(right_.rect), (std::array<int, 4>{512 + (512 - 451) / 2, 60, 451, 300}));
    EXPECT_EQ(views_->state().ViewWidth, 448);
    const int64_t body = container_.bodyLength();
    ASSERT_GT(body, 0);
    EXPECT_EQ(main_.label, LabelFor(body, 451, 300));
    EXPECT_EQ(main_.labelLeft, right_.rect.left + 22);
    EXPECT_EQ(main_.labelTop, right_.rect.top + 518);
    EXPECT_TRUE(main_.psnr.starts_with("PSNR ")) << main_.psnr;
    EXPECT_EQ(left_.pointer, qx::Pointer::Hand);
    EXPECT_FALSE(main_.busy);

    // The restored picture is what the display copy shows, in blue, green, red order.
    const qx::DisplayCopy& shown = views_->restoredCopy();
    ASSERT_EQ(shown.width, 451);
    EXPECT_EQ(shown.bytes[0], codec_.state.WorkBuffer[2]);
    EXPECT_EQ(shown.bytes[2], codec_.state.WorkBuffer[0]);
}

TEST_F(CompressCommand, SecondCompressionInTheOtherModeStartsFromTheSource) {
    Open(Corpus("chelsea.bmp"));
    commands_->compress(qx::CompressionChoice::High);
    ExpectSameAsReference(container_.image, "chelsea-high.qx1");
    commands_->compress(qx::CompressionChoice::ClearImage);
    EXPECT_EQ(main_.menu, kCompressed);
    ExpectSameAsReference(container_.image, "chelsea-clear.qx1");
    // And back again.
    commands_->compress(qx::CompressionChoice::High);
    ExpectSameAsReference(container_.image, "chelsea-high.qx1");
}

TEST_F(CompressCommand, SizeLeftByAnEarlierRunDoesNotLeakIntoTheNext) {
    Open(Corpus("chelsea.bmp"));
    commands_->compress(qx::CompressionChoice::High);
    // A run that stops half way can leave the coded size behind.
    codec_.state.Width = 448;
    codec_.state.Length = 320;
    commands_->compress(qx::CompressionChoice::ClearImage);
    EXPECT_EQ(container_.title.SourceWidth, 451);
    EXPECT_EQ(container_.title.SourceLength, 300);
    ExpectSameAsReference(container_.image, "chelsea-clear.qx1");
}

TEST_F(CompressCommand, SaveWritesTheReferenceBytesUnderTheSuggestedName) {
    Open(Corpus("astronaut.bmp"));
    commands_->compress(qx::CompressionChoice::ClearImage);
    dialogs_.saved.push_back(InDir("astronaut.qx1"));
    commands_->saveAsCompressFile();
    ASSERT_EQ(dialogs_.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs_.saveRequests[0].suggestedName, "astronaut.qx1");
    EXPECT_EQ(dialogs_.saveRequests[0].filter, qx::kSaveCompressedFilter);
    EXPECT_EQ(dialogs_.saveRequests[0].defaultSuffix, "qx1");
    EXPECT_TRUE(dialogs_.boxes.empty());
    const std::vector<uint8_t> written = ReadFileBytes(InDir("astronaut.qx1"));
    ExpectSameAsReference(written, "astronaut-clear.qx1");
    EXPECT_EQ(written[40] | written[41] << 8 | written[42] << 16 | uint32_t{written[43]} << 24,
              1700000000u);
    EXPECT_EQ(commands_->session().OutputName, InDir("astronaut.qx1"));
}

TEST_F(CompressCommand, SavesOntoAReadOnlyFileKeepTheOldFileWhole) {
    Open(Corpus("astronaut.bmp"));
    commands_->compress(qx::CompressionChoice::High);
    const std::vector<uint8_t> old = {1, 2, 3};
    for (const char* name : {"old.qx1", "old.tif"}) {
        WriteFileBytes(InDir(name), old);
        std::filesystem::permissions(
            InDir(name), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    }
    const size_t entries = std::distance(std::filesystem::directory_iterator(InDir("")), {});
    dialogs_.saved = {InDir("old.qx1"), InDir("old.tif")};
    commands_->saveAsCompressFile();
    commands_->saveAsRestoreFile();
    EXPECT_EQ(dialogs_.texts(),
              (std::vector<std::string>{"Lseek Err.", "Open BitMap Err.", "Create Err."}));
    EXPECT_EQ(ReadFileBytes(InDir("old.qx1")), old);
    EXPECT_EQ(ReadFileBytes(InDir("old.tif")), old);
    // Nothing else is left behind: no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(InDir("")), {}),
              static_cast<std::ptrdiff_t>(entries));
}

TEST_F(CompressCommand, CancelledSaveWritesNothing) {
    Open(Corpus("astronaut.bmp"));
    commands_->compress(qx::CompressionChoice::High);
    commands_->saveAsCompressFile();
    EXPECT_FALSE(std::filesystem::exists(InDir("astronaut.qx1")));
    EXPECT_EQ(commands_->session().OutputName, "astronaut.qx1");
}

}  // namespace
}  // namespace qxtest
