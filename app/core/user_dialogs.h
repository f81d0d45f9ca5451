// Every box and file dialog the commands show goes through this interface: the desktop program
// answers with real dialogs, tests from a script. Like the prompts it extends, every box and
// dialog releases the input lock before it appears.
#pragma once

#include <string>
#include <vector>

#include "load/prompts.h"

namespace qx {

class UserDialogs : public Prompts {
  public:
    using Prompts::message;
    // A plain message box with OK and its own caption.
    void message(const std::string& text, const std::string& caption) {
        releaseInput();
        showMessage(text, caption);
    }
    // An information box with OK.
    void information(const std::string& text) {
        releaseInput();
        showInformation(text);
    }
    // Warning boxes. Closing the box counts as Cancel.
    [[nodiscard]] Answer askYesNoCancel(const std::string& text) {
        releaseInput();
        return showYesNoCancel(text);
    }
    [[nodiscard]] Answer askRetryCancel(const std::string& text) {
        releaseInput();
        return showRetryCancel(text);
    }
    void warnCancelOnly(const std::string& text) {
        releaseInput();
        showCancelOnly(text);
    }
    // File dialogs; an empty result (or list) means cancelled.
    [[nodiscard]] std::string openFile(const std::string& title, const std::string& filter) {
        releaseInput();
        return showOpenFile(title, filter);
    }
    [[nodiscard]] std::vector<std::string> openFiles(const std::string& title,
                                                     const std::string& filter) {
        releaseInput();
        return showOpenFiles(title, filter);
    }
    [[nodiscard]] std::string saveFile(const std::string& title, const std::string& filter,
                                       const std::string& suggestedName,
                                       const std::string& defaultSuffix) {
        releaseInput();
        return showSaveFile(title, filter, suggestedName, defaultSuffix);
    }
    [[nodiscard]] std::string chooseDirectory(const std::string& title, const std::string& start) {
        releaseInput();
        return showChooseDirectory(title, start);
    }

  protected:
    virtual void showInformation(const std::string& text) = 0;
    virtual Answer showYesNoCancel(const std::string& text) = 0;
    virtual Answer showRetryCancel(const std::string& text) = 0;
    virtual void showCancelOnly(const std::string& text) = 0;
    virtual std::string showOpenFile(const std::string& title, const std::string& filter) = 0;
    virtual std::vector<std::string> showOpenFiles(const std::string& title,
                                                   const std::string& filter) = 0;
    virtual std::string showSaveFile(const std::string& title, const std::string& filter,
                                     const std::string& suggestedName,
                                     const std::string& defaultSuffix) = 0;
    virtual std::string showChooseDirectory(const std::string& title, const std::string& start) = 0;
};

}  // namespace qx
