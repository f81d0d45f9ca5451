// The viewers on screen: placement, drawing the rows upright and unscaled, panning together;
// zooming both, the flip and the difference view.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTest>
#include <filesystem>

#include "app/core/comparison.h"
#include "app/core/view_layout.h"
#include "app/core/zoom.h"
#include "app/viewer_window.h"
#include "support/test_support.h"
#include "tests/app/window_fixture.h"

namespace qxtest {
namespace {

class Viewers : public WindowTest {
  protected:
    void OpenAndCompress(const std::string& corpusName) {
        dialogs_.opened.push_back(CorpusPath(corpusName));
        form_->commands().openImageFile();
        ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text;
        form_->commands().compress(qx::CompressionChoice::High);
        ASSERT_TRUE(dialogs_.boxes.empty()) << dialogs_.boxes[0].text;
    }
    // Offset of the picture pixel drawn at view pixel p, at the current offsets and zoom (1:1
    // or enlarged).
    size_t PictureOffset(QPoint p, int width) const {
        const qx::ViewState& v = form_->views().state();
        return (static_cast<size_t>(qx::PictureAt(v.ViewY + p.y(), v.zoom)) * width +
                qx::PictureAt(v.ViewX + p.x(), v.zoom)) *
               3;
    }
    // Corners and the right half, clear of the marker and the legend.
    std::vector<QPoint> Samples() const {
        const qx::ViewState& v = form_->views().state();
        return {QPoint(0, 0), QPoint(v.ViewWidth - 1, 0), QPoint(0, v.ViewLength - 1),
                QPoint(v.ViewWidth - 9, v.ViewLength / 2), QPoint(v.ViewWidth * 3 / 4, 41)};
    }
    // The viewer's drawing matches its display copy at the current offsets.
    void ExpectShowsCopy(QWidget* viewer, const qx::DisplayCopy& copy) {
        const QImage shot = viewer->grab().toImage();
        for (const QPoint p : Samples()) {
            const size_t at = PictureOffset(p, copy.width);
            const QColor expected(copy.bytes[at + 2], copy.bytes[at + 1], copy.bytes[at]);
            EXPECT_EQ(shot.pixelColor(p), expected) << p.x() << "," << p.y();
        }
    }
    // Both viewers show their own picture.
    void ExpectBothShowTheirCopies() {
        ExpectShowsCopy(form_->form2(), form_->views().sourceCopy());
        ExpectShowsCopy(form_->form3(), form_->views().restoredCopy());
    }
    int Percent() const { return qx::ZoomPercent(form_->views().state().zoom); }
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
    ExpectBothShowTheirCopies();

    QTest::mousePress(left, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(left, QPoint(160, 120));
    QTest::mouseMove(left, QPoint(160, 120));
    QTest::mouseRelease(left, Qt::LeftButton, {}, QPoint(160, 120));
    const qx::ViewState& v = form_->views().state();
    EXPECT_EQ(v.ViewX, 30);
    EXPECT_EQ(v.ViewY, 10);
    EXPECT_FALSE(v.Dragging);
    ExpectBothShowTheirCopies();

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

TEST_F(Viewers, KeysAndWheelZoomBothViewersTogether) {
    OpenAndCompress("graf1.bmp");
    EXPECT_TRUE(form_->Label1()->text().startsWith("V =   "));
    EXPECT_TRUE(form_->Label2()->text().startsWith("PSNR "))
        << form_->Label2()->text().toStdString();
    ASSERT_TRUE(form_->ZoomIn1->isEnabled());
    QTest::keyClick(form_.get(), Qt::Key_Plus);
    EXPECT_EQ(Percent(), 200);
    ExpectBothShowTheirCopies();

    // Ctrl + wheel about the pointer: the picture pixel under it stays, in both viewers.
    const qx::ViewState& v = form_->views().state();
    const QPoint pointer(130, 90);
    const int column = qx::PictureAt(v.ViewX + pointer.x(), v.zoom);
    const int row = qx::PictureAt(v.ViewY + pointer.y(), v.zoom);
    QWheelEvent wheel(pointer, form_->form3()->mapToGlobal(pointer), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form_->form3(), &wheel);
    EXPECT_EQ(Percent(), 400);
    EXPECT_EQ(qx::PictureAt(v.ViewX + pointer.x(), v.zoom), column);
    EXPECT_EQ(qx::PictureAt(v.ViewY + pointer.y(), v.zoom), row);
    ExpectBothShowTheirCopies();

    QTest::keyClick(form_.get(), Qt::Key_0);
    EXPECT_TRUE(v.zoom.fit);
    EXPECT_EQ(v.ViewX, 0);
    const qx::ViewZoom fit = v.zoom;
    QTest::keyClick(form_.get(), Qt::Key_Minus);
    EXPECT_TRUE(qx::SameScale(v.zoom, qx::NextZoom(fit, -1)));
    QTest::keyClick(form_.get(), Qt::Key_1);
    EXPECT_EQ(Percent(), 100);
    ExpectShowsCopy(form_->form3(), form_->views().restoredCopy());

    // The PSNR goes with the pictures; a compressed file opened has none.
    form_->CloseRestoreorComprFile1->trigger();
    EXPECT_FALSE(form_->Label2()->isVisible());
    EXPECT_FALSE(form_->ZoomIn1->isEnabled());
}

TEST_F(Viewers, FlipShowsTheSourceAtTheSamePlace) {
    OpenAndCompress("graf1.bmp");
    QTest::keyClick(form_.get(), Qt::Key_Plus);
    QTest::keyClick(form_.get(), Qt::Key_Plus);
    QTest::keyPress(form_.get(), Qt::Key_Space);
    EXPECT_EQ(form_->views().restoredShows(), qx::Shown::Source);
    ExpectShowsCopy(form_->form3(), form_->views().sourceCopy());
    QTest::keyRelease(form_.get(), Qt::Key_Space);
    ExpectShowsCopy(form_->form3(), form_->views().restoredCopy());

    form_->ShowSource1->trigger();
    ExpectShowsCopy(form_->form3(), form_->views().sourceCopy());
    form_->ShowSource1->trigger();
    EXPECT_EQ(form_->views().restoredShows(), qx::Shown::Restored);
}

TEST_F(Viewers, DifferenceViewShowsTheErrorOfEachPixel) {
    OpenAndCompress("graf1.bmp");
    QTest::keyClick(form_.get(), Qt::Key_Plus);
    form_->DifferenceView1->trigger();
    ASSERT_EQ(form_->views().restoredShows(), qx::Shown::Difference);
    const qx::DisplayCopy& source = form_->views().sourceCopy();
    const qx::DisplayCopy& restored = form_->views().restoredCopy();
    const QImage shot = form_->form3()->grab().toImage();
    int errors = 0;
    for (const QPoint p : Samples()) {
        const size_t at = PictureOffset(p, source.width);
        const int error = qx::PixelError(&source.bytes[at], &restored.bytes[at]);
        errors += error;
        const auto rgb = qx::HeatColour(error);
        EXPECT_EQ(shot.pixelColor(p), QColor(rgb[0], rgb[1], rgb[2])) << p.x() << "," << p.y();
    }
    EXPECT_GT(errors, 0);
    // The source viewer is untouched.
    ExpectShowsCopy(form_->form2(), source);
}

}  // namespace
}  // namespace qxtest
