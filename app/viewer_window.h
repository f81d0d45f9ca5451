// TForm2 and TForm3: the borderless, always-on-top viewers of the source and the restored
// picture. They draw the row buffers of PictureViews (one screen pixel per picture pixel until
// zoomed), pan both pictures together when dragged and zoom both with Ctrl + wheel. The restored
// viewer marks what it shows when it is not simply the restored picture at 1:1.
#pragma once

#include <QImage>
#include <QWidget>

#include "app/core/picture_views.h"
#include "app/core/window_surface.h"

namespace qx {

class ViewerWindow : public QWidget, public ViewerSurface {
    Q_OBJECT
  public:
    ViewerWindow(QWidget* mainWindow, Side side, const QString& caption);

    void setViews(PictureViews* views) { views_ = views; }
    Side side() const { return side_; }

    // ViewerSurface
    void place(const ViewerRect& rect) override;
    void showWindow() override;
    void hideWindow() override;
    bool isShown() const override { return isVisible(); }
    int left() const override { return x(); }
    int top() const override { return y(); }
    void setPointer(Pointer pointer) override;
    void redraw(bool now) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

    PictureViews* views_ = nullptr;

  private:
    void drawMarker(QPainter& painter);
    void drawLegend(QPainter& painter);

    Side side_;
    // Ctrl + wheel turns in eighths of a degree; a step is taken per 120.
    int wheelTurn_ = 0;
    // Wraps the row buffer; remade only when the buffer or the view size changes, so panning
    // allocates nothing.
    QImage rows_;
};

// Left viewer, caption "Image1"; a resize takes the new client size as the view.
class TForm2 : public ViewerWindow {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* mainWindow);

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

// Right viewer, caption "Image2".
class TForm3 : public ViewerWindow {
    Q_OBJECT
  public:
    explicit TForm3(QWidget* mainWindow);
};

}  // namespace qx
