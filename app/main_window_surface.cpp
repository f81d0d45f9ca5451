// What the commands ask of the main window, and the navigator drawn on its client area.
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygon>

#include "app/main_window.h"

namespace qx {

MainWindowMetrics TForm1::metrics() const {
    const int clientHeight = height() - menuBarHeight();
    return MainWindowMetrics{width(), clientHeight, frameGeometry().height() - clientHeight};
}

void TForm1::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void TForm1::setBannerVisible(bool visible) {
    image1_->setVisible(visible && !image1_->pixmap().isNull());
}

void TForm1::setMenu(const MenuState& m) {
    ImageFiles1->setEnabled(m.openImage);
    CompressFiles1->setEnabled(m.openCompress);
    SaveasImageFile1->setEnabled(m.saveRestore);
    SaveasCompressFile1->setEnabled(m.saveCompress);
    CloseRestoreorComprFile1->setEnabled(m.close);
    Exit1->setEnabled(m.exit);
    Compress1->menuAction()->setEnabled(m.compression);
    PackageCompression1->setEnabled(m.package);
    enableViewMenu(m.compare);
}

void TForm1::setResultLabel(const std::string& text, int left, int top) {
    if (!text.empty()) label1_->move(left, top);
    label1_->setText(QString::fromStdString(text));
    label1_->raise();
}

void TForm1::setBusy(bool busy) {
    busy_ = busy;
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    // The work runs on this thread: let the pointer and pending paints show, but take no input.
    if (busy) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm1::redrawNavigator() {
    client_->update();
}

void TForm1::focusMain() {
    activateWindow();
}

namespace {

QColor ColourOf(NavigatorColour c) {
    return c == NavigatorColour::White ? QColor(255, 255, 255) : QColor(255, 0, 0);
}

void DrawFrame(QPainter& painter, NavigatorColour colour, int x, int y, int w, int h) {
    if (colour == NavigatorColour::Background) return;  // erased: the background shows
    painter.setPen(ColourOf(colour));
    const QPolygon frame{QPoint(x, y), QPoint(x, y + h), QPoint(x + w, y + h), QPoint(x + w, y),
                         QPoint(x, y)};
    painter.drawPolyline(frame);
}

}  // namespace

void ClientArea::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!view_ || !view_->NavigatorDrawn) return;
    const NavigatorFrame& n = view_->nav;
    QPainter painter(this);
    DrawFrame(painter, n.outer, n.NavX, n.NavY, n.NavW, n.NavH);
    DrawFrame(painter, n.inner, n.FrameX, n.FrameY, n.FrameW, n.FrameH);
    DrawFrame(painter, n.inner, n.FrameX + 1, n.FrameY + 1, n.FrameW - 2, n.FrameH - 2);
}

}  // namespace qx
