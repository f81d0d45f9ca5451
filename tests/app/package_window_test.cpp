// "Package Compression" chosen from the main window's menu runs the batch with its dialogs.
#include <QAction>
#include <QLabel>

#include "app/progress_window.h"
#include "tests/app/window_fixture.h"

namespace qxtest {
namespace {

using PackageWindow = WindowTest;

TEST_F(PackageWindow, TheMenuCommandAsksForFilesAndDirectoryAndRestoresTheBanner) {
    const bool bannerHidden = form_->Image1()->isHidden();
    dialogs_.opened = {"/nowhere/one.bmp", "/nowhere/two.jpg"};
    form_->PackageCompression1->trigger();
    ASSERT_EQ(dialogs_.boxes.size(), 2u);
    EXPECT_EQ(dialogs_.boxes[0].text, "Select or create directory\nfor save compressed files");
    EXPECT_EQ(dialogs_.boxes[0].caption, "  2 image files are chosen");
    EXPECT_EQ(dialogs_.boxes[1].text, "Directory isn't selected");
    EXPECT_FALSE(form_->form4()->isVisible());
    EXPECT_EQ(form_->Image1()->isHidden(), bannerHidden);
    EXPECT_FALSE(dialogs_.locked);
}

}  // namespace
}  // namespace qxtest
