// The questions of a batch: how they name the file, and that input is released for every one.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/package_load.h"
#include "appcore/package_fixture.h"
#include "support/picture_files.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

using qx::Answer;
namespace fs = std::filesystem;

std::string LowMemory(const std::string& name) {
    return name + ":  There is few memory for file. Do you want to continue?";
}

class PackageQuestions : public PackageTest {
  protected:
    std::string copyCorpus(const std::string& name) {
        fs::copy_file(CorpusPath(name), source + "/" + name);
        return source + "/" + name;
    }
    // Counts the locks taken, so that a box that finds input released is known to follow work
    // done under the lock.
    void countLocks() {
        dialogs.onLock = [this](bool block) {
            if (block) ++locks;
        };
    }
    int locks = 0;
};

TEST_F(PackageQuestions, TheLowMemoryQuestionNamesTheFileAsShownForEveryReader) {
    memory.freeKb = 10;  // a 40 x 35 picture needs 20 Kb, the corpus pictures far more
    countLocks();
    dialogs.answers = {Answer::Yes, Answer::Yes, Answer::No};
    const qx::PackageResult result = run({writeBmp("small.bmp"), copyCorpus("coffee.tif"),
                                          copyCorpus("rocket.jpg"), writeBmp("never.bmp")});
    EXPECT_EQ(result.savedCount, 2);
    const std::vector<std::string> texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1], LowMemory("small.bmp"));
    EXPECT_EQ(texts[2], LowMemory("coffee.tif"));
    EXPECT_EQ(texts[3], LowMemory("rocket.jpg"));
    EXPECT_EQ(dialogs.boxes[4].kind, "information");
    EXPECT_TRUE(fs::exists(targetFile("small.qx1")));
    EXPECT_TRUE(fs::exists(targetFile("coffee.qx1")));
    EXPECT_FALSE(fs::exists(targetFile("rocket.qx1")));
    EXPECT_FALSE(fs::exists(targetFile("never.qx1")));
    EXPECT_GE(locks, 3);
    expectBoxesUnlocked();
}

TEST_F(PackageQuestions, EnoughMemoryAsksNothing) {
    memory.freeKb = 20;
    EXPECT_EQ(run({writeBmp("small.bmp")}).savedCount, 1);
    EXPECT_EQ(dialogs.boxes.size(), 2u);
}

}  // namespace
}  // namespace qxtest

namespace qxtest {
namespace {

using qx::LoadFailure;
using qx::PictureReader;

// The batch's follow-up comes from the reader and the kind of failure alone: the same words lead
// to different steps for different readers, and reworded messages change nothing. (The batch
// tests meet the JPEG decoder failure, the BMP colour and size refusals and the missing TIFF.)
TEST(BatchFollowUp, ComesFromTheReaderAndTheKindOfFailure) {
    struct Case {
        PictureReader reader;
        LoadFailure failure;
        bool held;
        const char* question;  // nullptr: the batch stops without asking
    };
    const char* next = ": Do you want to compress next files?";
    const Case cases[] = {
        {PictureReader::Jpeg, LoadFailure::NotTrueColour, true,
         ": File isn't True Colour (RGB). Do you want to compress next files?"},
        {PictureReader::Jpeg, LoadFailure::TooSmall, false, next},
        {PictureReader::Jpeg, LoadFailure::NoPictureMemory, true,
         ": 1) No memory for file. Compress next files?"},
        {PictureReader::Bmp, LoadFailure::NoPictureMemory, true,
         ": 2) No memory for file. Compress next files?"},
        {PictureReader::Bmp, LoadFailure::NoLoadMemory, false, nullptr},
        {PictureReader::Tiff, LoadFailure::NoLoadMemory, false, ": Compress next files?"},
        {PictureReader::Tiff, LoadFailure::BadLength, false, nullptr},
        {PictureReader::Tiff, LoadFailure::MemoryDeclined, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.failure));
        for (const char* text : {"the loader's words", "different words"}) {
            qx::LoadOutcome outcome;
            outcome.reader = c.reader;
            outcome.failure = c.failure;
            outcome.text = text;
            ScriptedDialogs dialogs;
            dialogs.answers = {Answer::Yes};
            const qx::BatchStep step = qx::FollowUpFailedLoad(dialogs, outcome, "a.pic");
            EXPECT_EQ(qx::FollowUpAfter(c.reader, c.failure).held, c.held);
            if (c.question) {
                EXPECT_EQ(step, qx::BatchStep::NextFile);
                EXPECT_EQ(dialogs.texts(),
                          std::vector<std::string>{"a.pic" + std::string(c.question)});
            } else {
                EXPECT_EQ(step, qx::BatchStep::Stop);
                EXPECT_TRUE(dialogs.boxes.empty());
            }
        }
    }
}

}  // namespace
}  // namespace qxtest
