// "Open Compress File" and "Save as Restore File".
#include <gtest/gtest.h>

#include <filesystem>

#include "appcore/command_fixture.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

const qx::MenuState kFileOpened = MenuOf("+++-+---");
const qx::MenuState kFileFailed = MenuOf("++---+--");
const qx::MenuState kFileCancelled = MenuOf("++---+-+");

using CompressedFileCommand = CommandTest;

std::string CopyReference(const std::string& reference, const std::string& target) {
    std::filesystem::copy_file(ConformancePath(reference), target);
    return target;
}

TEST_F(CompressedFileCommand, OpenedFileIsShownWideWithSizeAndRatio) {
    OpenCompressed(CopyReference("graf1-high.qx1", InDir("graf1.qx1")));
    EXPECT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes.front().text;
    EXPECT_EQ(main_.menu, kFileOpened);
    EXPECT_EQ(dialogs_.openFilters.back(), qx::kCompressedFilter);
    // 25265 bytes less the 52-byte title: 25213 = 24 Kb + 637 bytes (4 eighths); ratio
    // (1536000 + 12606) / 25213 = 61.
    EXPECT_EQ(main_.caption, "QX WendoCompressor  graf1.qx1   24.4 Kb  (800*640)  [1 : 61]");
    EXPECT_EQ(commands_->session().PictureState, 0);
    EXPECT_EQ(commands_->session().PictureBufferBase, 25213);

    EXPECT_FALSE(left_.shown);
    ASSERT_TRUE(right_.shown);
    EXPECT_EQ(Place(right_.rect), (std::array<int, 4>{(1024 - 800) / 2, 60, 800, 518}));
    EXPECT_EQ(views_->state().ViewWidth, 800);
    EXPECT_EQ(views_->state().nav.NavX, right_.rect.left);
    EXPECT_TRUE(views_->state().NavigatorDrawn);

    // Both offsets start at 0 and panning moves only down (the width fits).
    views_->mouseDown(qx::Side::Restored, 0, 0);
    views_->mouseMove(qx::Side::Restored, 400, 400);
    EXPECT_EQ(views_->state().ViewX, 0);
    EXPECT_EQ(views_->state().ViewY, 100);
}

TEST_F(CompressedFileCommand, UpperCaseExtensionOpensOtherExtensionsDoNothing) {
    OpenCompressed(CopyReference("astronaut-high.qx1", InDir("PIC.QX1")));
    EXPECT_EQ(main_.menu, kFileOpened);

    OpenCompressed(CopyReference("astronaut-high.qx1", InDir("pic.qx2")));
    EXPECT_EQ(main_.menu, kFileFailed);
    EXPECT_TRUE(dialogs_.boxes.empty());
    EXPECT_FALSE(right_.shown);
    EXPECT_EQ(main_.caption, "QX WendoCompressor  ");
}

TEST_F(CompressedFileCommand, DamagedFileIsReportedByTheReader) {
    const std::vector<uint8_t> junk(100, 0x5A);
    WriteFileBytes(InDir("junk.qx1"), junk);
    OpenCompressed(InDir("junk.qx1"));
    EXPECT_EQ(main_.menu, kFileFailed);
    EXPECT_FALSE(dialogs_.boxes.empty());
    EXPECT_TRUE(main_.bannerVisible);
    EXPECT_FALSE(right_.shown);
}

TEST_F(CompressedFileCommand, CancelledOpenLeavesPackageAvailable) {
    commands_->openCompressFile();
    EXPECT_EQ(main_.menu, kFileCancelled);
    EXPECT_TRUE(main_.bannerVisible);
}

TEST_F(CompressedFileCommand, RestoreSuggestionKeepsItsNameAndWritesTheRestoredPicture) {
    OpenCompressed(CopyReference("chelsea-clear.qx1", InDir("pic.qx1")));
    ASSERT_EQ(main_.menu, kFileOpened);
    commands_->saveAsRestoreFile();
    commands_->saveAsRestoreFile();
    dialogs_.saved.push_back(InDir("restored.tif"));
    commands_->saveAsRestoreFile();
    ASSERT_EQ(dialogs_.saveRequests.size(), 3u);
    for (const SaveRequest& r : dialogs_.saveRequests) {
        EXPECT_EQ(r.suggestedName, "pic_comp.tif");
        EXPECT_EQ(r.filter, qx::kSaveRestoredFilter);
        EXPECT_EQ(r.defaultSuffix, "tif");
    }
    EXPECT_TRUE(dialogs_.boxes.empty());
    const std::vector<uint8_t> tiff = ReadFileBytes(InDir("restored.tif"));
    ASSERT_EQ(tiff.size(), 200u + 451 * 300 * 3);
    EXPECT_EQ(Sha256Hex(tiff.data() + 200, tiff.size() - 200),
              "d3b1c2db32017646539f5ed3028df5bf349d096278c92995baf70e41043b8caa");
}

TEST_F(CompressedFileCommand, NothingRestoredYetGivesCreateErr) {
    dialogs_.saved.push_back(InDir("nothing.tif"));
    commands_->saveAsRestoreFile();
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].text, "Create Err.");
    EXPECT_FALSE(std::filesystem::exists(InDir("nothing.tif")));
}

}  // namespace
}  // namespace qxtest
