// The batch's progress shown in TForm4.
#include "app/package_window.h"

#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>

#include "app/core/package_compression.h"
#include "app/core/window_surface.h"
#include "app/progress_window.h"

namespace qx {

namespace {

class Form4Progress : public PackageProgress {
  public:
    Form4Progress(TForm4& form, MainSurface& main) : form_(form), main_(main) {}

    void setCaption(const std::string& caption) override {
        form_.setWindowTitle(QString::fromStdString(caption));
    }
    void setValue(int value) override { form_.setShare(value); }
    void show() override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        form_.prepareForBatch(screen ? screen->geometry() : QRect());
        form_.show();
        form_.setEnabled(false);
        form_.setShare(0);
    }
    void hide() override { form_.hide(); }
    void setBannerVisible(bool visible) override { main_.setBannerVisible(visible); }

  private:
    TForm4& form_;
    MainSurface& main_;
};

}  // namespace

void RunPackageCompression(Codec& codec, Container& container, UserDialogs& dialogs,
                           const MemoryStatusSource& memory, TForm4& form4, MainSurface& main,
                           const std::vector<std::string>& chosen) {
    Form4Progress progress(form4, main);
    RunPackageCompression(codec, container, dialogs, progress, memory, chosen);
}

}  // namespace qx
