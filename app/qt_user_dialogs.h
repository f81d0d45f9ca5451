// Message boxes and file dialogs of the desktop program. The interface releases the input lock
// before any of them appears, so that it can be answered.
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

    // The program's one input lock, whoever set it.
    bool inputLocked() const override { return lock_.locked(); }

  protected:
    void showMessage(const std::string& text, const std::string& caption) override;
    void showInformation(const std::string& text) override;
    Answer showYesNo(const std::string& text) override;
    Answer showYesNoCancel(const std::string& text) override;
    Answer showRetryCancel(const std::string& text) override;
    void showCancelOnly(const std::string& text) override;
    std::string showOpenFile(const std::string& title, const std::string& filter) override;
    std::vector<std::string> showOpenFiles(const std::string& title,
                                           const std::string& filter) override;
    std::string showSaveFile(const std::string& title, const std::string& filter,
                             const std::string& suggestedName,
                             const std::string& defaultSuffix) override;
    std::string showChooseDirectory(const std::string& title, const std::string& start) override;
    void setInputLock(bool block) override;

  private:
    QStringList chooseFiles(const std::string& title, const std::string& filter, bool several);

    QPointer<QWidget> parent_;
    InputLock& lock_;
};

}  // namespace qx
