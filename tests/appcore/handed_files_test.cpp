// Files handed to the program (command line, drop) open through the File commands' own flows.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/core/handed_files.h"
#include "appcore/command_fixture.h"
#include "container/compressed_name.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

class HandedFiles : public CommandTest {
  protected:
    // What a person sees after an open command.
    auto seen() const {
        return std::make_tuple(main_.caption, main_.menu, main_.bannerVisible, left_.shown,
                               right_.shown, dialogs_.texts());
    }
    // Hands name to the program without any dialog, then chooses it in the dialog of the
    // command that must have taken it: both end alike.
    void HandAndCompare(const std::string& name) {
        dialogs_.openFilters.clear();
        EXPECT_TRUE(qx::OpenHandedFiles(*commands_, {"", name}));
        EXPECT_TRUE(dialogs_.openFilters.empty());
        const auto handed = seen();
        commands_->closeFile();
        dialogs_.boxes.clear();
        qx::IsCompressedName(name) ? OpenCompressed(name) : Open(name);
        EXPECT_EQ(handed, seen()) << name;
    }
};

TEST_F(HandedFiles, OpenLikeTheCommandTheirNameCallsFor) {
    std::filesystem::copy_file(ConformancePath("graf1-high.qx1"), InDir("graf1.QX1"));
    HandAndCompare(InDir("graf1.QX1"));
    EXPECT_TRUE(right_.shown);
    EXPECT_EQ(main_.caption, "QX WendoCompressor  graf1.QX1   24.4 Kb  (800*640)  [1 : 61]");

    HandAndCompare(Corpus("baboon.jpg"));
    EXPECT_TRUE(left_.shown && !right_.shown);
    EXPECT_EQ(main_.menu, MenuOf("++--+++-"));
    // Of several files the first one opens.
    EXPECT_TRUE(qx::OpenHandedFiles(*commands_, {Corpus("astronaut.bmp"), InDir("graf1.QX1")}));
    EXPECT_EQ(commands_->session().CurrentName, "astronaut.bmp");
}

TEST_F(HandedFiles, UnreadableFilesGiveTheCommandsMessages) {
    WriteFileBytes(InDir("picture.png"),
                   {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0, 0x0d,
                    'I',  'H', 'D', 'R', 0,    0,    0,    1,    0, 0, 0, 1});
    std::vector<uint8_t> damaged = ReadFileBytes(ConformancePath("graf1-high.qx1"));
    damaged.resize(3000);
    WriteFileBytes(InDir("damaged.qx1"), damaged);

    for (const char* name : {"missing.qx1", "missing.jpg", "damaged.qx1", "picture.png"}) {
        HandAndCompare(InDir(name));
        // "Open Compress File" leaves Package Compression off after a failure.
        const bool compressed = qx::IsCompressedName(name);
        EXPECT_EQ(main_.menu, MenuOf(compressed ? "++---+--" : "++---+-+")) << name;
        EXPECT_EQ(dialogs_.boxes.size(), 1u) << name;
        EXPECT_TRUE(main_.bannerVisible && !left_.shown && !right_.shown) << name;
        dialogs_.boxes.clear();
    }
    EXPECT_FALSE(std::filesystem::exists(InDir("missing.qx1")));
}

}  // namespace
}  // namespace qxtest
