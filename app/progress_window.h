// TForm4: the progress window of package compression. It takes no input and hides the pointer.
#pragma once

#include <QDialog>

class QProgressBar;

namespace qx {

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1() const { return bar_; }
    // Shows `share` percent at once, processing paints but no input.
    void setShare(int share);

  private:
    QProgressBar* bar_;
};

}  // namespace qx
