// The application object: runs the message loop, ignores the user's input while the input lock
// is held, and shows an exception that escapes a handler instead of ending the program.
#pragma once

#include <QApplication>

#include "app/core/input_lock.h"

namespace qx {

class QxApplication : public QApplication {
    Q_OBJECT
  public:
    QxApplication(int& argc, char** argv);

    InputLock& inputLock() { return lock_; }
    const QString& helpFile() const { return helpFile_; }
    void setHelpFile(const QString& name) { helpFile_ = name; }

    bool notify(QObject* receiver, QEvent* event) override;

    static QxApplication* instance();
    // Keyboard and mouse events, which the input lock holds back.
    static bool isUserInput(const QEvent* event);

  private:
    InputLock lock_;
    QString helpFile_;
};

// Under a Wayland session the program runs through X11: window positions, pointer moves and
// stay-on-top windows depend on it. Call before the application object exists.
void PreferX11();

}  // namespace qx
