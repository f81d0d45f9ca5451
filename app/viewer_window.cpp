// Viewer windows.
#include "app/viewer_window.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QWheelEvent>

#include "app/core/comparison.h"
#include "app/core/zoom.h"

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
    painter.resetTransform();
    if (side_ == Side::Restored) {
        drawMarker(painter);
        if (views_->restoredShows() == Shown::Difference) drawLegend(painter);
    }
}

void ViewerWindow::drawMarker(QPainter& painter) {
    const Shown shown = views_->restoredShows();
    const ViewZoom& zoom = views_->state().zoom;
    const bool actualSize = SameScale(zoom, ViewZoom{});
    if (shown == Shown::Restored && actualSize) return;  // as it always was: no marker
    QString text = shown == Shown::Source       ? "SOURCE"
                   : shown == Shown::Difference ? "DIFFERENCE"
                                                : "RESTORED";
    if (!actualSize)
        text += QString(" %1%").arg(
            zoom.num == 1 && zoom.den == 8 ? "12.5" : QString::number(ZoomPercent(zoom)));
    if (zoom.fit) text += " (fit)";
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    const QRect box = painter.fontMetrics().boundingRect(text).adjusted(-5, -3, 5, 3);
    const QRect at(4, 4, box.width(), box.height());
    painter.fillRect(at, shown == Shown::Source ? QColor(200, 40, 40) : QColor(30, 30, 30, 200));
    painter.setPen(Qt::white);
    painter.drawText(at, Qt::AlignCenter, text);
}

void ViewerWindow::drawLegend(QPainter& painter) {
    // A bar of the heat colours from no error to kHeatTop and more, with its measure named.
    const int barWidth = std::min(2 * (kHeatTop + 1) * 3, width() - 16);
    if (barWidth < kHeatTop + 1) return;
    QFont font = painter.font();
    font.setPixelSize(11);
    font.setBold(false);
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().height();
    const QRect panel(4, height() - 4 - (12 + 2 * lineHeight + 10), barWidth + 12,
                      12 + 2 * lineHeight + 10);
    painter.fillRect(panel, QColor(30, 30, 30, 210));
    const QRect bar(panel.left() + 6, panel.top() + 5, barWidth, 12);
    for (int x = 0; x < bar.width(); ++x) {
        const auto rgb = HeatColour((x * (kHeatTop + 1)) / bar.width());
        painter.fillRect(bar.left() + x, bar.top(), 1, bar.height(),
                         QColor(rgb[0], rgb[1], rgb[2]));
    }
    painter.setPen(Qt::white);
    const int labelsTop = bar.bottom() + 2;
    const QRect labels(bar.left(), labelsTop, bar.width(), lineHeight);
    painter.drawText(labels, Qt::AlignLeft, "0");
    painter.drawText(labels, Qt::AlignHCenter, QString::number(kHeatTop / 2));
    painter.drawText(labels, Qt::AlignRight, QString(">=%1").arg(kHeatTop));
    painter.drawText(QRect(bar.left(), labelsTop + lineHeight, bar.width(), lineHeight),
                     Qt::AlignLeft, kHeatMeasure);
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

void ViewerWindow::wheelEvent(QWheelEvent* event) {
    if (!views_ || !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    event->accept();
    wheelTurn_ += event->angleDelta().y();
    const QPoint p = event->position().toPoint();
    while (wheelTurn_ >= 120 || wheelTurn_ <= -120) {
        const int direction = wheelTurn_ > 0 ? 1 : -1;
        wheelTurn_ -= direction * 120;
        views_->zoomStep(direction, p.x(), p.y());
    }
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    if (views_ && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) views_->setFlipHeld(true);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ViewerWindow::keyReleaseEvent(QKeyEvent* event) {
    if (views_ && event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) views_->setFlipHeld(false);
        return;
    }
    QWidget::keyReleaseEvent(event);
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
