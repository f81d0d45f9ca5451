// TForm4: the progress window of package compression. It takes no input and hides the pointer.
#pragma once

#include <QDialog>

class QProgressBar;

namespace qx {

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 538;
    static constexpr int kHeight = 78;

    explicit TForm4(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1() const { return bar_; }
    // Lays the window out for a new batch on the screen area given: kWidth wide, centred as if it
    // were kHeight high, just tall enough for the bar and a one-pixel margin, the bar at 0.
    void prepareForBatch(const QRect& screen);
    // Shows `share` percent at once, processing paints but no input.
    void setShare(int share);

  private:
    QProgressBar* bar_;
};

}  // namespace qx
