// Progress window.
#include "app/progress_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPalette>
#include <QProgressBar>

namespace qx {

TForm4::TForm4(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("TForm4");
    setModal(false);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(p);
    setAutoFillBackground(true);
    setCursor(Qt::BlankCursor);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setTextVisible(false);
    // The window is disabled for the whole batch; the bar keeps the colours of an enabled one.
    QPalette barPalette = bar_->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = static_cast<QPalette::ColorRole>(role);
        barPalette.setColor(QPalette::Disabled, r, barPalette.color(QPalette::Active, r));
    }
    bar_->setPalette(barPalette);
    prepareForBatch(QRect(0, 0, kWidth, kHeight));
    setEnabled(false);
}

void TForm4::prepareForBatch(const QRect& screen) {
    setMinimumSize(0, 0);
    setMaximumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    move(screen.left() + (screen.width() - kWidth) / 2,
         screen.top() + (screen.height() - kHeight) / 2);
    const int barHeight = bar_->sizeHint().height();
    bar_->setGeometry(1, 1, width() - 2, barHeight);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    bar_->setVisible(true);
    resize(width(), barHeight + 2);
    setMinimumSize(size());
}

void TForm4::setShare(int share) {
    bar_->setValue(share);
    bar_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qx
