// Viewer windows.
#include "app/viewer_window.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace qx {

ViewerWindow::ViewerWindow(QWidget* mainWindow, Side side, const QString& caption)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      side_(side) {
    setWindowTitle(caption);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(200, 200, 200));
    setPalette(p);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);
}

void ViewerWindow::place(const ViewerRect& rect) {
    setGeometry(rect.left, rect.top, rect.clientWidth, rect.clientHeight);
}

void ViewerWindow::showWindow() {
    show();
    raise();
}

void ViewerWindow::hideWindow() {
    hide();
}

void ViewerWindow::setPointer(Pointer pointer) {
    switch (pointer) {
        case Pointer::Arrow:
            setCursor(Qt::ArrowCursor);
            break;
        case Pointer::Hand:
            setCursor(Qt::PointingHandCursor);
            break;
        case Pointer::Wait:
            setCursor(Qt::WaitCursor);
            break;
    }
}

void ViewerWindow::redraw(bool now) {
    if (now) {
        repaint();
    } else {
        update();
    }
}

void ViewerWindow::paintEvent(QPaintEvent*) {
    if (!views_) return;
    const uint8_t* rows = views_->viewRows(side_);
    if (!rows) return;
    const ViewState& v = views_->state();
    // The rows are stored bottom row first; the painter turns them upright, unscaled.
    if (rows_.constBits() != rows || rows_.width() != v.ViewWidth ||
        rows_.height() != v.ViewLength) {
        rows_ = QImage(rows, v.ViewWidth, v.ViewLength, v.ViewWidth * 3, QImage::Format_BGR888);
    }
    QPainter painter(this);
    painter.translate(0, v.ViewLength);
    painter.scale(1, -1);
    painter.drawImage(0, 0, rows_);
}

void ViewerWindow::mousePressEvent(QMouseEvent* event) {
    // While a button is held the window keeps the mouse, even outside its rectangle.
    if (views_) {
        const QPoint p = event->position().toPoint();
        views_->mouseDown(side_, p.x(), p.y());
    }
}

void ViewerWindow::mouseMoveEvent(QMouseEvent* event) {
    if (views_ && views_->state().Dragging) {
        const QPoint p = event->position().toPoint();
        views_->mouseMove(side_, p.x(), p.y());
    }
}

void ViewerWindow::mouseReleaseEvent(QMouseEvent*) {
    if (views_) views_->mouseUp(side_);
}

TForm2::TForm2(QWidget* mainWindow) : ViewerWindow(mainWindow, Side::Source, "Image1") {
    setObjectName("TForm2");
}

void TForm2::resizeEvent(QResizeEvent* event) {
    ViewerWindow::resizeEvent(event);
    if (views_) views_->sourceResized(width(), height());
}

TForm3::TForm3(QWidget* mainWindow) : ViewerWindow(mainWindow, Side::Restored, "Image2") {
    setObjectName("TForm3");
}

}  // namespace qx
