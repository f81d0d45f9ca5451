// Runs the desktop program's real windows with scripted answers: opens the picture named on the
// command line, compresses it in "High Compression", pans both viewers a little, prints READY
// and keeps the windows up for a few seconds so that the screen can be photographed.
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include <QLabel>
#include "app/core/memory_status.h"
#include "app/main_window.h"
#include "app/qx_application.h"
#include "app/viewer_window.h"
#include "appcore/scripted_dialogs.h"
#include "codec/codec.h"
#include "container/container.h"

namespace {

void Drag(QWidget* viewer, QPoint from, QPoint to, int moves) {
    QTest::mousePress(viewer, Qt::LeftButton, {}, from);
    for (int i = 0; i < moves; ++i) QTest::mouseMove(viewer, to);
    QTest::mouseRelease(viewer, Qt::LeftButton, {}, to);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PICTURE [SECONDS]\n", argv[0]);
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
        for (const qxtest::ShownBox& box : dialogs.boxes) {
            std::fprintf(stderr, "box: %s\n", box.text.c_str());
        }
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
