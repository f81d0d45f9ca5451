// The command line's answers to the loader's prompts: messages are collected for the file's
// report, the low-memory question is answered "go on", and there is no input to lock.
#pragma once

#include <string>
#include <vector>

#include "load/prompts.h"

namespace qx1 {

class CliDialogs : public qx::Prompts {
  public:
    // Every message shown, in order.
    std::vector<std::string> messages;

  protected:
    void showMessage(const std::string& text, const std::string&) override {
        messages.push_back(text);
    }
    qx::Answer showYesNo(const std::string&) override { return qx::Answer::Yes; }
    void setInputLock(bool) override {}
};

}  // namespace qx1
