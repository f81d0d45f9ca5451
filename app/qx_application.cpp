// Application object and the X11 preference.
#include "app/qx_application.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <exception>

namespace qx {

void PreferX11() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

QxApplication::QxApplication(int& argc, char** argv)
    : QApplication(argc, argv), lock_([](PointerPosition p) {
          if (QScreen* screen = QGuiApplication::primaryScreen()) {
              QCursor::setPos(screen, p.x, p.y);
          }
      }) {
    setApplicationName("QX WendoCompressor");
    setApplicationVersion(QX_VERSION_TEXT);
}

QxApplication* QxApplication::instance() {
    return qobject_cast<QxApplication*>(QCoreApplication::instance());
}

bool QxApplication::isUserInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

bool QxApplication::notify(QObject* receiver, QEvent* event) {
    if (lock_.locked() && isUserInput(event)) return true;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        QMessageBox::critical(activeWindow(), applicationName(), QString::fromUtf8(e.what()));
    }
    return false;
}

}  // namespace qx
