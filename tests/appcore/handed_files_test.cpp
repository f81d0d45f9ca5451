// Files handed to the program (command line, drop) open through the File commands' own flows.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/core/handed_files.h"
#include "appcore/command_fixture.h"
#include "support/test_support.h"

namespace qxtest {
namespace {

// What a person sees after an open command.
struct Seen {
    std::string caption;
    qx::MenuState menu;
    bool banner = false;
    bool left = false;
    bool right = false;
    std::vector<std::string> texts;
    int64_t base = 0;
    bool operator==(const Seen&) const = default;
};

class HandedFiles : public CommandTest {
  protected:
    Seen seen() const {
        return {main_.caption,
                main_.menu,
                main_.bannerVisible,
                left_.shown,
                right_.shown,
                dialogs_.texts(),
                commands_->session().PictureBufferBase};
    }
    // Hands name to the program, then chooses it in the dialog of the command that must have
    // taken it; both must end alike, the first without any dialog.
    Seen HandAndCompare(const std::string& name, bool compressed) {
        dialogs_.openFilters.clear();
        EXPECT_TRUE(qx::OpenHandedFiles(*commands_, {name}));
        EXPECT_TRUE(dialogs_.openFilters.empty());
        const Seen handed = seen();
        commands_->closeFile();
        dialogs_.boxes.clear();
        compressed ? OpenCompressed(name) : Open(name);
        EXPECT_EQ(handed, seen()) << name;
        return handed;
    }
};

// After a failure: "Open Compress File" leaves Package Compression off, "Open Image File" on.
const qx::MenuState kCompressedFailed = MenuOf("++---+--");
const qx::MenuState kPictureFailed = MenuOf("++---+-+");

TEST_F(HandedFiles, OpenLikeTheCommandTheirNameCallsFor) {
    std::filesystem::copy_file(ConformancePath("graf1-high.qx1"), InDir("graf1.QX1"));
    const Seen compressed = HandAndCompare(InDir("graf1.QX1"), true);
    EXPECT_TRUE(compressed.right);
    EXPECT_EQ(compressed.caption, "QX WendoCompressor  graf1.QX1   24.4 Kb  (800*640)  [1 : 61]");

    const Seen picture = HandAndCompare(Corpus("baboon.jpg"), false);
    EXPECT_TRUE(picture.left);
    EXPECT_FALSE(picture.right);
    EXPECT_EQ(picture.menu, MenuOf("++--+++-"));

    // Several files: the first one opens.
    EXPECT_TRUE(qx::OpenHandedFiles(*commands_, {"", Corpus("astronaut.bmp"), InDir("graf1.QX1")}));
    EXPECT_EQ(commands_->session().CurrentName, "astronaut.bmp");
    EXPECT_FALSE(qx::OpenHandedFiles(*commands_, {}));
}

TEST_F(HandedFiles, UnreadableFilesGiveTheCommandsMessages) {
    const std::vector<uint8_t> png = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00,
        0x00, 0x90, 0x77, 0x53, 0xde, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78,
        0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0x00, 0x00, 0x03, 0x01, 0x01, 0x00, 0xc9, 0xfe, 0x92,
        0xef, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    WriteFileBytes(InDir("picture.png"), png);
    std::vector<uint8_t> damaged = ReadFileBytes(ConformancePath("graf1-high.qx1"));
    damaged.resize(3000);
    WriteFileBytes(InDir("damaged.qx1"), damaged);

    for (const char* name : {"missing.qx1", "missing.jpg", "damaged.qx1", "picture.png"}) {
        const bool compressed = qx::HasCompressedExtension(name);
        const Seen failed = HandAndCompare(InDir(name), compressed);
        ASSERT_EQ(failed.texts.size(), 1u) << name;
        EXPECT_EQ(failed.menu, compressed ? kCompressedFailed : kPictureFailed)
            << name << ": " << failed.texts[0];
        EXPECT_TRUE(failed.banner) << name;
        EXPECT_FALSE(failed.left || failed.right) << name;
        EXPECT_FALSE(std::filesystem::exists(InDir("missing.qx1")));
        dialogs_.boxes.clear();
    }
}

}  // namespace
}  // namespace qxtest
