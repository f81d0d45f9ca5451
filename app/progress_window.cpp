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
    setFixedSize(538, 78);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(p);
    setAutoFillBackground(true);
    setCursor(Qt::BlankCursor);
    bar_ = new QProgressBar(this);
    bar_->setObjectName("ProgressBar1");
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setGeometry(16, 24, 506, 30);
    setEnabled(false);
}

void TForm4::setShare(int share) {
    bar_->setValue(share);
    bar_->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace qx
