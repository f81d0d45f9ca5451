// The View menu of the main window: zooming both viewers, the flip to the source, the
// difference view, and the PSNR label beside the result label.
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "app/core/zoom.h"
#include "app/main_window.h"

namespace qx {

namespace {

QAction* AddViewAction(QMenu* menu, const char* text, const char* name,
                       const QList<QKeySequence>& keys) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setEnabled(false);
    return action;
}

}  // namespace

void TForm1::createViewMenu() {
    // After the existing items, so that they keep their places.
    View1 = menuBar()->addMenu("&View");
    View1->setObjectName("View1");
    ZoomIn1 = AddViewAction(View1, "Zoom &In", "ZoomIn1",
                            {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    ZoomOut1 = AddViewAction(View1, "Zoom &Out", "ZoomOut1", {QKeySequence(Qt::Key_Minus)});
    ActualSize1 =
        AddViewAction(View1, "&Actual Size (100%)", "ActualSize1", {QKeySequence(Qt::Key_1)});
    FitInViewer1 =
        AddViewAction(View1, "&Fit in Viewer", "FitInViewer1", {QKeySequence(Qt::Key_0)});
    View1->addSeparator();
    ShowSource1 = AddViewAction(View1, "Show &Source in Image2 (or hold Space)", "ShowSource1",
                                {QKeySequence(Qt::Key_S)});
    DifferenceView1 =
        AddViewAction(View1, "&Difference View", "DifferenceView1", {QKeySequence(Qt::Key_D)});
    ShowSource1->setCheckable(true);
    DifferenceView1->setCheckable(true);

    connect(ZoomIn1, &QAction::triggered, this, [this] { views_->zoomStep(+1); });
    connect(ZoomOut1, &QAction::triggered, this, [this] { views_->zoomStep(-1); });
    connect(ActualSize1, &QAction::triggered, this,
            [this] { views_->zoomTo(ZoomStep(kActualSizeStep)); });
    connect(FitInViewer1, &QAction::triggered, this, [this] {
        views_->zoomTo(ViewZoom{1, 1, true});
    });
    connect(ShowSource1, &QAction::toggled, this, [this](bool on) { views_->setFlipOn(on); });
    connect(DifferenceView1, &QAction::toggled, this,
            [this](bool on) { views_->setDifferenceOn(on); });

    label2_ = new QLabel(client_);
    label2_->setObjectName("Label2");
    label2_->setFont(label1_->font());
    label2_->setPalette(label1_->palette());
    label2_->setTextFormat(Qt::PlainText);
    label2_->hide();
}

void TForm1::enableViewMenu(bool enabled) {
    for (QAction* action :
         {ZoomIn1, ZoomOut1, ActualSize1, FitInViewer1, ShowSource1, DifferenceView1}) {
        action->setEnabled(enabled);
    }
    // The views drop the flip and the difference view with the pictures.
    const QSignalBlocker blockSource(ShowSource1);
    const QSignalBlocker blockDifference(DifferenceView1);
    ShowSource1->setChecked(views_->flipOn());
    DifferenceView1->setChecked(views_->differenceOn());
}

void TForm1::setPsnrLabel(const std::string& text) {
    label2_->setText(QString::fromStdString(text));
    if (text.empty()) {
        label2_->hide();
        return;
    }
    label2_->adjustSize();
    // Beside the result label, or under it where the window ends first.
    const QRect result = label1_->geometry();
    QPoint at(result.right() + 1 + 8, result.top());
    if (at.x() + label2_->width() > client_->width()) {
        at = QPoint(result.left() + (result.width() - label2_->width()) / 2, result.bottom() + 1);
    }
    label2_->move(at);
    label2_->show();
    label2_->raise();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && views_) {
        if (!event->isAutoRepeat()) views_->setFlipHeld(true);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TForm1::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && views_) {
        if (!event->isAutoRepeat()) views_->setFlipHeld(false);
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

}  // namespace qx
