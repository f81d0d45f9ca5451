// The main window: caption, menu, banner, result label, F5, Help and Exit.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>
#include <utility>
#include <vector>

#include "app/help_window.h"
#include "tests/app/window_fixture.h"

namespace qxtest {
namespace {

using MainWindow = WindowTest;

// The captions and enabled states of the menu are pinned by the menu-state table's tests.
TEST_F(MainWindow, CaptionAndMenuBar) {
    qx::TForm1& f = *form_;
    EXPECT_EQ(f.windowTitle(), "QX WendoCompressor  ");
    EXPECT_EQ(f.PackageCompression1->shortcut(), QKeySequence("Ctrl+P"));
    const QList<QAction*> top = f.menuBar()->actions();
    ASSERT_EQ(top.size(), 5);
    EXPECT_EQ(top[0], f.FilesOp->menuAction());
    EXPECT_EQ(top[1], f.Compress1->menuAction());
    EXPECT_EQ(top[2], f.PackageCompression1);
    EXPECT_EQ(top[3], f.Help1);
    // The View menu comes after the items that were always there, and waits for two pictures.
    EXPECT_EQ(top[4], f.View1->menuAction());
    for (QAction* a : f.View1->actions()) EXPECT_FALSE(a->isEnabled() && !a->isSeparator());

    EXPECT_TRUE(dialogs_.boxes.empty());
}

TEST_F(MainWindow, BannerAndResultLabel) {
    const QSize screen = Screen();
    const bool small = screen.width() < 800;
    QLabel* image = form_->Image1();
    EXPECT_TRUE(image->isVisible());
    EXPECT_EQ(image->size(), small ? QSize(640, 180) : QSize(796, 224));
    EXPECT_EQ(image->pixmap().size(), small ? QSize(640, 148) : QSize(796, 185));
    EXPECT_EQ(image->x(), std::max((screen.width() - image->width()) / 2, 0));

    QLabel* label = form_->Label1();
    EXPECT_EQ(label->size(), QSize(287, 25));
    EXPECT_TRUE(label->text().isEmpty());
}

TEST_F(MainWindow, F5ShowsTheMemoryReport) {
    QTest::keyClick(form_.get(), Qt::Key_F5);
    ASSERT_EQ(dialogs_.boxes.size(), 1u);
    EXPECT_EQ(dialogs_.boxes[0].caption, "Total and Free Memory");
    // The text itself is pinned by the memory report's test.
    EXPECT_EQ(dialogs_.boxes[0].text.rfind("TotalPhysMemory = ", 0), 0u) << dialogs_.boxes[0].text;
}

TEST_F(MainWindow, HelpOpensTheShippedHelpAtItsFirstTopic) {
    form_->Help1->trigger();
    ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text;
    qx::HelpWindow* help = form_->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->browser()->source().fileName(), "QX_WendoHelp.html");
    EXPECT_EQ(help->browser()->source().fragment(), "topic1");
    EXPECT_TRUE(help->browser()->toPlainText().contains("High Compression"));
}

TEST_F(MainWindow, ExitClosesTheWindows) {
    form_->Exit1->trigger();
    EXPECT_FALSE(form_->isVisible());
    // The queued quit runs here, outside any event loop, so it ends nothing else.
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace qxtest
