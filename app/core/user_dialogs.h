// Every box and file dialog the commands show goes through this interface: the desktop program
// answers with real dialogs, the command line without asking, tests from a script.
#pragma once

#include <string>
#include <vector>

namespace qx {

enum class Answer { Yes, No, Cancel, Retry, Ok };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // A plain message box with OK; caption is the program's name unless given.
    virtual void message(const std::string& text, const std::string& caption = {}) = 0;
    // An information box with OK.
    virtual void information(const std::string& text) = 0;
    // Warning boxes. Closing the box counts as No (Yes/No) or Cancel.
    virtual Answer askYesNo(const std::string& text) = 0;
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    virtual Answer askRetryCancel(const std::string& text) = 0;
    virtual void warnCancelOnly(const std::string& text) = 0;
    // File dialogs; an empty result (or list) means cancelled.
    virtual std::string openFile(const std::string& title, const std::string& filter) = 0;
    virtual std::vector<std::string> openFiles(const std::string& title, const std::string& filter) = 0;
    virtual std::string saveFile(const std::string& title, const std::string& filter,
                                 const std::string& suggestedName, const std::string& defaultSuffix) = 0;
    virtual std::string chooseDirectory(const std::string& title, const std::string& start) = 0;
    // Input lock of long work: true ignores the user's input, false releases it. Every box
    // above releases it first.
    virtual void lockInput(bool block) = 0;
};

}  // namespace qx
