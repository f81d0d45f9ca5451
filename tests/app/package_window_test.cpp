// "Package Compression" chosen from the main window's menu runs the batch with its dialogs and
// shows its progress in TForm4.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/progress_window.h"
#include "support/picture_files.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"
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

TEST_F(PackageWindow, SeveralHandedPicturesStartTheBatchWithThemChosen) {
    EXPECT_TRUE(form_->openHandedFiles({"/nowhere/one.bmp", "", "/nowhere/two.jpg"}));
    EXPECT_TRUE(dialogs_.openFilters.empty());
    ASSERT_FALSE(dialogs_.boxes.empty());
    EXPECT_EQ(dialogs_.boxes[0].caption, "  2 image files are chosen");
    EXPECT_EQ(dialogs_.boxes.back().text, "Directory isn't selected");

    // A compressed file among them: the first name opens, as one handed file does.
    dialogs_.boxes.clear();
    EXPECT_TRUE(form_->openHandedFiles({"/nowhere/one.bmp", "/nowhere/two.qx1"}));
    EXPECT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_NE(dialogs_.boxes[0].caption, "  2 image files are chosen");
}

// The window as laid out for a batch: 538 wide, centred as a 538 x 78 window, the bar one pixel
// inside it and the window one pixel taller than the bar at either edge.
void ExpectBatchLayout(const qx::TForm4& form, QSize screen) {
    const QProgressBar* bar = form.ProgressBar1();
    EXPECT_EQ(form.pos(), QPoint((screen.width() - 538) / 2, (screen.height() - 78) / 2));
    EXPECT_EQ(form.width(), 538);
    EXPECT_EQ(form.maximumSize(), QSize(538, 78));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(bar->width(), 536);
    EXPECT_EQ(bar->y(), 1);
    EXPECT_EQ(form.height(), bar->height() + 2);
    EXPECT_GT(bar->height(), 0);
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_FALSE(form.isEnabled());
}

TEST_F(PackageWindow, TheProgressWindowIsLaidOutAgainForEveryBatch) {
    qx::TForm4& form = *form_->form4();
    form.ProgressBar1()->setValue(70);
    form.ProgressBar1()->hide();
    form.setGeometry(16, 24, 506, 30);
    form.prepareForBatch(QRect(QPoint(0, 0), Screen()));
    ExpectBatchLayout(form, Screen());
    EXPECT_EQ(form.ProgressBar1()->value(), 0);
}

TEST_F(PackageWindow, TheDisabledWindowDrawsItsBarAsAnEnabledOne) {
    qx::TForm4& form = *form_->form4();
    form.prepareForBatch(QRect(QPoint(0, 0), Screen()));
    form.ProgressBar1()->setValue(40);
    ASSERT_FALSE(form.isEnabled());
    const QImage disabled = form.grab().toImage();
    form.setEnabled(true);
    const QImage enabled = form.grab().toImage();
    form.setEnabled(false);
    EXPECT_EQ(disabled, enabled);
    const QProgressBar* bar = form.ProgressBar1();
    const int middle = bar->y() + bar->height() / 2;
    EXPECT_NE(disabled.pixel(bar->x() + bar->width() / 5, middle),
              disabled.pixel(bar->x() + bar->width() * 4 / 5, middle));
}

// Runs a real batch through the menu and looks at TForm4 whenever the batch takes the lock.
TEST_F(PackageWindow, ABatchShowsTheDisabledWindowWithTheFileInItsCaption) {
    const std::string dir = MakeTempDir();
    std::filesystem::create_directories(dir + "/in");
    for (const char* name : {"one.bmp", "two.bmp"}) {
        WriteFileBytes(dir + "/in/" + name, MakeBmp({}));
    }
    dialogs_.opened = {dir + "/in/one.bmp", dir + "/in/two.bmp"};
    dialogs_.directories = {dir + "/out"};
    std::vector<QString> captions;
    dialogs_.onLock = [&](bool block) {
        if (!block) return;
        const qx::TForm4& form4 = *form_->form4();
        EXPECT_TRUE(form4.isVisible());
        ExpectBatchLayout(form4, Screen());
        captions.push_back(form4.windowTitle());
    };
    form_->PackageCompression1->trigger();

    EXPECT_FALSE(form_->form4()->isVisible());
    ASSERT_FALSE(captions.empty());
    EXPECT_EQ(captions.back(), " Compr: 2 from 2 - two.bmp  ");
    EXPECT_NE(std::find(captions.begin(), captions.end(), " Compr: 1 from 2 - one.bmp  "),
              captions.end());
    EXPECT_EQ(form_->form4()->ProgressBar1()->value(), 100);
    EXPECT_TRUE(std::filesystem::exists(dir + "/out/two.qx1"));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qxtest
