// Runs the desktop program's real windows with scripted answers.
//   PICTURE [SECONDS]: opens the picture, compresses it in "High Compression", pans both viewers
//     a little, prints READY and keeps the windows up so that the screen can be photographed.
//   batch OUTPUT.png PICTURE...: compresses the pictures with "Package Compression" into a
//     fresh directory, answering Yes to every question, and saves the screen to OUTPUT.png as
//     the fourth file starts.
//   views DIRECTORY PICTURE: compresses the picture and saves the screen to DIRECTORY as
//     screenshot-zoom400.png (Ctrl + wheel twice on a detail), screenshot-flip.png (Space held
//     there), screenshot-difference.png (the difference view there), screenshot-difference-fit.png
//     and screenshot-fit.png.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/core/zoom.h"
#include "app/main_window.h"
#include "app/progress_window.h"
#include "app/qx_application.h"
#include "app/viewer_window.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"
#include "support/scripted_dialogs.h"

namespace {

void Drag(QWidget* viewer, QPoint from, QPoint to, int moves) {
    QTest::mousePress(viewer, Qt::LeftButton, {}, from);
    for (int i = 0; i < moves; ++i) QTest::mouseMove(viewer, to);
    QTest::mouseRelease(viewer, Qt::LeftButton, {}, to);
}

void PrintBoxes(const qxtest::ScriptedDialogs& dialogs) {
    for (const qxtest::ShownBox& box : dialogs.boxes) {
        std::fprintf(stderr, "box: %s\n", box.text.c_str());
    }
}

// The batch, photographed from inside its progress callback once the caption names the fourth
// file (or the last, in a shorter batch). Returns 0 when the screenshot was saved.
int RunBatch(int argc, char** argv) {
    const QString output = QString::fromLocal8Bit(argv[2]);
    qx::PreferX11();
    qx::QxApplication app(argc, argv);
    qx::Codec codec;
    qx::Container container;
    qx::MemoryStatusSource memory;
    qxtest::ScriptedDialogs dialogs;
    for (int i = 3; i < argc; ++i) {
        dialogs.opened.push_back(argv[i]);
        dialogs.answers.push_back(qx::Answer::Yes);  // go on past any picture that is refused
    }
    const int count = argc - 3;
    const QString wanted = QString(" Compr: %1 from %2 - ").arg(std::min(4, count)).arg(count);
    QTemporaryDir target;
    dialogs.directories.push_back(QDir(target.path()).filePath("packed").toStdString());
    qx::TForm1 form(codec, container, memory, &dialogs);

    bool saved = false;
    QString caption;
    int value = 0;
    qx::TForm4& form4 = *form.form4();
    QObject::connect(form4.ProgressBar1(), &QProgressBar::valueChanged, &form4, [&](int now) {
        if (saved || !form4.windowTitle().startsWith(wanted)) return;
        // The bar paints its new value before the screen is read.
        form4.ProgressBar1()->repaint();
        QTest::qWait(300);
        saved = form.screen()->grabWindow(0).save(output, "PNG");
        caption = form4.windowTitle();
        value = now;
    });
    QObject::connect(&form, &qx::TForm1::started, &form, [&] {
        form.PackageCompression1->trigger();
        PrintBoxes(dialogs);
        std::printf("%s at %d: \"%s\", %zu boxes\n", saved ? "SAVED" : "NOT SAVED", value,
                    caption.toStdString().c_str(), dialogs.boxes.size());
        std::fflush(stdout);
        // Posted, so that it also ends the loop when the batch ran before the loop started.
        QTimer::singleShot(0, &app, [&app, &saved] { app.exit(saved ? 0 : 1); });
    });
    form.start();
    return app.exec();
}

// The comparison views of one compressed picture, photographed one after the other.
int RunViews(int argc, char** argv) {
    const QDir output(QString::fromLocal8Bit(argv[2]));
    qx::PreferX11();
    qx::QxApplication app(argc, argv);
    qx::Codec codec;
    qx::Container container;
    qx::MemoryStatusSource memory;
    qxtest::ScriptedDialogs dialogs;
    dialogs.opened.push_back(argv[3]);
    qx::TForm1 form(codec, container, memory, &dialogs);
    int saved = 0;
    auto shoot = [&](const char* name) {
        QTest::qWait(400);
        const QString file = output.filePath(QString("screenshot-%1.png").arg(name));
        if (form.screen()->grabWindow(0).save(file, "PNG")) ++saved;
        const qx::ViewState& v = form.views().state();
        std::printf("%s: %d%% at %d,%d\n", file.toStdString().c_str(), qx::ZoomPercent(v.zoom),
                    v.ViewX, v.ViewY);
    };
    QObject::connect(&form, &qx::TForm1::started, &form, [&] {
        form.commands().openImageFile();
        form.commands().compress(qx::CompressionChoice::High);
        PrintBoxes(dialogs);
        // Two notches of Ctrl + wheel on a detail a little right of the middle.
        qx::TForm3* right = form.form3();
        const QPoint detail(right->width() * 3 / 5, right->height() / 2);
        for (int i = 0; i < 2; ++i) {
            QWheelEvent wheel(detail, right->mapToGlobal(detail), {}, QPoint(0, 120), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(right, &wheel);
        }
        shoot("zoom400");
        QTest::keyPress(&form, Qt::Key_Space);
        shoot("flip");
        QTest::keyRelease(&form, Qt::Key_Space);
        form.DifferenceView1->trigger();
        shoot("difference");
        form.FitInViewer1->trigger();
        shoot("difference-fit");
        form.DifferenceView1->trigger();
        shoot("fit");
        std::fflush(stdout);
        QTimer::singleShot(0, &app, [&app, &saved] { app.exit(saved == 5 ? 0 : 1); });
    });
    form.start();
    return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "batch") == 0) {
        if (argc < 4) {
            std::fprintf(stderr, "usage: %s batch OUTPUT.png PICTURE...\n", argv[0]);
            return 2;
        }
        return RunBatch(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], "views") == 0) {
        if (argc < 4) {
            std::fprintf(stderr, "usage: %s views DIRECTORY PICTURE\n", argv[0]);
            return 2;
        }
        return RunViews(argc, argv);
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PICTURE [SECONDS] | batch OUTPUT.png PICTURE...\n",
                     argv[0]);
        return 2;
    }
    const std::string picture = argv[1];
    const int seconds = argc > 2 ? std::stoi(argv[2]) : 10;

    qx::PreferX11();
    qx::QxApplication app(argc, argv);
    qx::Codec codec;
    qx::Container container;
    qx::MemoryStatusSource memory;
    qxtest::ScriptedDialogs dialogs;
    dialogs.opened.push_back(picture);
    qx::TForm1 form(codec, container, memory, &dialogs);

    QObject::connect(&form, &qx::TForm1::started, &form, [&] {
        form.commands().openImageFile();
        form.commands().compress(qx::CompressionChoice::High);
        QTest::qWait(300);
        Drag(form.form2(), QPoint(200, 200), QPoint(260, 240), 4);
        QTest::qWait(100);
        Drag(form.form3(), QPoint(200, 200), QPoint(240, 200), 2);
        QTest::qWait(500);
        PrintBoxes(dialogs);
        const qx::ViewState& v = form.views().state();
        std::printf("READY %s | %s | view %dx%d at %d,%d\n",
                    form.windowTitle().toStdString().c_str(),
                    form.Label1()->text().toStdString().c_str(), v.ViewWidth, v.ViewLength, v.ViewX,
                    v.ViewY);
        std::fflush(stdout);
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    });
    form.start();
    return app.exec();
}
