// The viewers on screen: placement, drawing the rows upright and unscaled, panning together.
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <filesystem>

#include "app/core/view_layout.h"
#include "app/viewer_window.h"
#include "support/test_support.h"
#include "tests/app/window_fixture.h"

namespace qxtest {
namespace {

class Viewers : public WindowTest {
  protected:
    void SetUp() override {
        previousDir_ = std::filesystem::current_path();
        WindowTest::SetUp();
    }
    void TearDown() override {
        WindowTest::TearDown();
        std::filesystem::current_path(previousDir_);
    }
    void OpenAndCompress(const std::string& corpusName) {
        dialogs_.opened.push_back(CorpusPath(corpusName));
        form_->commands().openImageFile();
        ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text;
        form_->commands().compress(qx::CompressionChoice::High);
        ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text;
    }
    // The viewer's drawing matches its display copy at the current offsets.
    void ExpectShowsCopy(QWidget* viewer, const qx::DisplayCopy& copy) {
        const qx::ViewState& v = form_->views().state();
        const QImage shot = viewer->grab().toImage();
        for (const QPoint p : {QPoint(0, 0), QPoint(v.ViewWidth - 1, 0),
                               QPoint(0, v.ViewLength - 1), QPoint(v.ViewWidth / 2, 7)}) {
            const size_t at =
                (static_cast<size_t>(v.ViewY + p.y()) * copy.width + v.ViewX + p.x()) * 3;
            const QColor expected(copy.bytes[at + 2], copy.bytes[at + 1], copy.bytes[at]);
            EXPECT_EQ(shot.pixelColor(p), expected) << p.x() << "," << p.y();
        }
    }
    std::filesystem::path previousDir_;
};

TEST_F(Viewers, BorderlessOnTopAndPlacedBySize) {
    OpenAndCompress("astronaut.bmp");
    qx::TForm2* left = form_->form2();
    qx::TForm3* right = form_->form3();
    for (QWidget* w : {static_cast<QWidget*>(left), static_cast<QWidget*>(right)}) {
        EXPECT_TRUE(w->isVisible());
        EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    }
    EXPECT_EQ(left->windowTitle(), "Image1");
    EXPECT_EQ(right->windowTitle(), "Image2");

    qx::ViewState expected = form_->views().state();
    const qx::ViewerRect l = qx::PlaceSourceViewer(expected, form_->metrics(), 512, 512);
    const qx::ViewerRect r = qx::PlaceRestoredViewer(expected, form_->metrics(), 512, 512);
    EXPECT_EQ(left->geometry(), QRect(l.left, l.top, l.clientWidth, l.clientHeight));
    EXPECT_EQ(right->geometry(), QRect(r.left, r.top, r.clientWidth, r.clientHeight));
    EXPECT_EQ(left->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form_->Label1()->pos(), QPoint(r.left + 22, r.top + expected.MaxViewLength));
    EXPECT_TRUE(form_->Label1()->text().startsWith("V =   "));
}

TEST_F(Viewers, DraggingOneViewerPansBoth) {
    OpenAndCompress("graf1.bmp");  // larger than the view both ways
    qx::TForm2* left = form_->form2();
    qx::TForm3* right = form_->form3();
    ExpectShowsCopy(left, form_->views().sourceCopy());
    ExpectShowsCopy(right, form_->views().restoredCopy());

    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(left, QPoint(160, 120));
    QTest::mouseMove(left, QPoint(160, 120));
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(160, 120));
    const qx::ViewState& v = form_->views().state();
    EXPECT_EQ(v.ViewX, 30);
    EXPECT_EQ(v.ViewY, 10);
    EXPECT_FALSE(v.Dragging);
    ExpectShowsCopy(left, form_->views().sourceCopy());
    ExpectShowsCopy(right, form_->views().restoredCopy());

    // The navigator's inner frame followed.
    EXPECT_GT(v.nav.FrameX, v.nav.NavX + 1);
}

TEST_F(Viewers, ResizeByTheWindowManagerStaysWithinTheBuffers) {
    OpenAndCompress("chelsea.bmp");
    qx::TForm2* left = form_->form2();
    left->resize(2000, 1000);
    QCoreApplication::processEvents();
    const qx::ViewState& v = form_->views().state();
    EXPECT_LE(v.ViewWidth, 2 * v.MaxViewWidth);
    EXPECT_EQ(v.ViewWidth % 4, 0);
    EXPECT_LE(v.ViewLength, v.MaxViewLength);
    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(left, QPoint(300, 300));
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_EQ(v.ViewX, 0);
    (void)left->grab();
    (void)form_->form3()->grab();
}

TEST_F(Viewers, CloseHidesBothAndClearsTheLabel) {
    OpenAndCompress("chelsea.bmp");
    EXPECT_FALSE(form_->Exit1->isEnabled());
    form_->CloseRestoreorComprFile1->trigger();
    EXPECT_FALSE(form_->form2()->isVisible());
    EXPECT_FALSE(form_->form3()->isVisible());
    EXPECT_TRUE(form_->Label1()->text().isEmpty());
    EXPECT_TRUE(form_->Exit1->isEnabled());
    EXPECT_EQ(form_->windowTitle(), "QX WendoCompressor");
    EXPECT_TRUE(form_->Image1()->isVisible());
}

}  // namespace
}  // namespace qxtest
