// Scripted dialogs for batch runs: the directory dialog answers from a queue, and every change of
// the input lock can be watched.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "support/scripted_dialogs.h"

namespace qxtest {

class BatchDialogs : public ScriptedDialogs {
  public:
    std::deque<std::string> directories;  // directory dialog answers; cancelled when empty
    int directoryDialogs = 0;
    std::function<void(bool)> onLock;  // called before every change of the input lock

  protected:
    void setInputLock(bool block) override {
        if (onLock) onLock(block);
        ScriptedDialogs::setInputLock(block);
    }

    std::string showChooseDirectory(const std::string&, const std::string&) override {
        ++directoryDialogs;
        if (directories.empty()) return {};
        std::string d = directories.front();
        directories.pop_front();
        return d;
    }
};

}  // namespace qxtest
