// Main window: construction, start-up, memory report, help and exit.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPalette>
#include <QScopedValueRollback>
#include <QScreen>
#include <QTimer>

#include "app/banner.h"
#include "app/core/memory_report.h"
#include "app/core/startup_figures.h"
#include "app/core/thread_priority.h"
#include "app/help_window.h"
#include "app/package_window.h"
#include "app/progress_window.h"
#include "app/qt_user_dialogs.h"
#include "app/qx_application.h"
#include "app/viewer_window.h"

// Resources of a static library are registered by name, outside any namespace.
static void InitResources() {
    Q_INIT_RESOURCE(qx);
}

namespace qx {

namespace {

QRect ScreenRect() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

InputLock& SharedInputLock() {
    static InputLock fallback;
    QxApplication* app = QxApplication::instance();
    return app ? app->inputLock() : fallback;
}

}  // namespace

TForm1::TForm1(Codec& codec, Container& container, const MemoryStatusSource& memory,
               UserDialogs* dialogs)
    : codec_(codec), container_(container), memory_(memory) {
    InitResources();
    setObjectName("TForm1");
    setWindowTitle(kMainCaption);
    setCursor(Qt::ArrowCursor);
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtUserDialogs>(this, SharedInputLock());
        dialogs = ownDialogs_.get();
    }
    dialogs_ = dialogs;

    client_ = new ClientArea(this);
    QPalette p = client_->palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    p.setColor(QPalette::WindowText, QColor(255, 0, 0));
    client_->setPalette(p);
    client_->setAutoFillBackground(true);
    QFont font("MS Sans Serif");
    font.setPixelSize(17);
    client_->setFont(font);
    setCentralWidget(client_);

    image1_ = new QLabel(client_);
    image1_->setObjectName("Image1");
    image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image1_->hide();

    label1_ = new QLabel(client_);
    label1_->setObjectName("Label1");
    QFont labelFont("Bookman Old Style");
    labelFont.setPixelSize(20);
    labelFont.setBold(true);
    label1_->setFont(labelFont);
    QPalette lp = label1_->palette();
    lp.setColor(QPalette::WindowText, QColor(166, 202, 240));
    label1_->setPalette(lp);
    label1_->setAlignment(Qt::AlignCenter);
    label1_->setFixedSize(287, 25);
    label1_->setTextFormat(Qt::PlainText);

    createActions();

    const QRect screen = ScreenRect();
    form2_ = new TForm2(this);
    form3_ = new TForm3(this);
    form4_ = new TForm4(this);
    for (ViewerWindow* viewer :
         {static_cast<ViewerWindow*>(form2_), static_cast<ViewerWindow*>(form3_)}) {
        const bool right = viewer == form3_;
        viewer->place(InitialViewerRect(screen.width(), screen.height(), menuBarHeight(), right));
        viewer->hide();
    }
    views_ = std::make_unique<PictureViews>(*this, *form2_, *form3_);
    form2_->setViews(views_.get());
    form3_->setViews(views_.get());
    client_->setViewState(&views_->state());
    commands_ =
        std::make_unique<PictureCommands>(codec_, container_, *dialogs_, *this, *views_, memory_);
    setAcceptDrops(true);
    connect(this, &TForm1::packageCompressionRequested, this,
            [this] { runPackageCompression({}); });
}

void TForm1::runPackageCompression(const std::vector<std::string>& chosen) {
    const QScopedValueRollback<bool> running(batchRunning_, true);
    RunPackageCompression(codec_, container_, *dialogs_, memory_, *form4_, *this, chosen);
}

TForm1::~TForm1() {
    // The commands hand the codec's hooks back before the views and windows go.
    commands_.reset();
}

void TForm1::start() {
    const QRect screen = ScreenRect();
    setGeometry(screen);
    showMaximized();
    QTimer::singleShot(0, this, &TForm1::Form1Create);
}

int TForm1::menuBarHeight() const {
    return std::max(menuBar()->height(), menuBar()->sizeHint().height());
}

void TForm1::Form1Create() {
    if (started_) return;
    const QRect screen = ScreenRect();
    setMaximumSize(screen.size());
    resize(screen.size());
    setWindowTitle(kMainCaption);

    const MainWindowMetrics m = metrics();
    const StartupFigures f =
        ComputeStartupFigures(screen.width(), screen.height(), m.frameHeight, m.clientHeight);
    if (f.screenTooSmall) {
        dialogs_->message(kScreenTooSmall);
    } else {
        views_->setMaxView(f.MaxViewWidth, f.MaxViewLength);
        ImageFiles1->setText("&Open Image File");
        CloseRestoreorComprFile1->setText("Close &Restore or Compr. File");
        commands_->startup();
        if (RaiseThreadPriority() == PriorityResult::Failed) dialogs_->message(kPriorityError);
        showBanner(QString::fromStdString(f.banner.resource), f.banner.left, f.banner.top,
                   f.banner.width, f.banner.height);
    }
    started_ = true;
    emit started();
}

void TForm1::showBanner(const QString& resource, int left, int top, int width, int height) {
    image1_->setGeometry(left, top, width, height);
    const QImage banner = LoadBanner(resource);
    if (banner.isNull()) {
        dialogs_->message("Banner picture '" + resource.toStdString() + "' cannot be read.");
        return;
    }
    image1_->setPixmap(QPixmap::fromImage(banner));
    image1_->show();
}

void TForm1::ShowMemoryReport() {
    dialogs_->message(MemoryReportText(memory_.read()), kMemoryReportCaption);
}

void TForm1::Help1Click() {
    const QString name = "QX_WendoHelp.html";
    if (QxApplication* app = QxApplication::instance()) app->setHelpFile(name);
    const QString path = FindHelpFile(name);
    if (path.isEmpty()) {
        dialogs_->message("Help file '" + name.toStdString() + "' isn't found.");
        return;
    }
    if (!help_) help_ = new HelpWindow(this);
    help_->showDocument(path);
}

void TForm1::Exit1Click() {
    close();
    form2_->close();
    form3_->close();
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    // Closing the main window ends the program, viewers or not.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

}  // namespace qx
