// Message boxes and file dialogs of the desktop program. Every box releases the input lock
// before it appears, so that it can be answered.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "app/core/input_lock.h"
#include "app/core/user_dialogs.h"

namespace qx {

class QtUserDialogs : public UserDialogs {
  public:
    QtUserDialogs(QWidget* parent, InputLock& lock) : parent_(parent), lock_(lock) {}

    void message(const std::string& text, const std::string& caption = {}) override;
    void information(const std::string& text) override;
    Answer askYesNo(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;
    Answer askRetryCancel(const std::string& text) override;
    void warnCancelOnly(const std::string& text) override;
    std::string openFile(const std::string& title, const std::string& filter) override;
    std::vector<std::string> openFiles(const std::string& title,
                                       const std::string& filter) override;
    std::string saveFile(const std::string& title, const std::string& filter,
                         const std::string& suggestedName,
                         const std::string& defaultSuffix) override;
    std::string chooseDirectory(const std::string& title, const std::string& start) override;
    void lockInput(bool block) override;

  private:
    void releaseBeforeBox();
    QStringList chooseFiles(const std::string& title, const std::string& filter, bool several);

    QPointer<QWidget> parent_;
    InputLock& lock_;
};

}  // namespace qx
