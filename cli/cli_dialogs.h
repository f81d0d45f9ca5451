// The command line's answers to the program's boxes: messages are collected for the file's
// report, the low-memory question is answered "go on", and no file dialog is ever shown.
#pragma once

#include <string>
#include <vector>

#include "app/core/user_dialogs.h"

namespace qx1 {

class CliDialogs : public qx::UserDialogs {
  public:
    // Every message and warning shown, in order.
    std::vector<std::string> messages;

    void message(const std::string& text, const std::string&) override { messages.push_back(text); }
    void information(const std::string& text) override { messages.push_back(text); }
    qx::Answer askYesNo(const std::string&) override { return qx::Answer::Yes; }
    qx::Answer askYesNoCancel(const std::string&) override { return qx::Answer::Yes; }
    qx::Answer askRetryCancel(const std::string&) override { return qx::Answer::Cancel; }
    void warnCancelOnly(const std::string& text) override { messages.push_back(text); }
    std::string openFile(const std::string&, const std::string&) override { return {}; }
    std::vector<std::string> openFiles(const std::string&, const std::string&) override {
        return {};
    }
    std::string saveFile(const std::string&, const std::string&, const std::string&,
                         const std::string&) override {
        return {};
    }
    std::string chooseDirectory(const std::string&, const std::string&) override { return {}; }
    void lockInput(bool) override {}
};

}  // namespace qx1
