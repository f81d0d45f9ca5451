// What loading asks of the person at the screen: a message, a Yes/No question and the input lock
// of long work. Every box releases the lock before it appears, here and nowhere else, so that a
// box can always be answered.
#pragma once

#include <string>

namespace qx {

enum class Answer { Yes, No, Cancel, Retry, Ok };

class Prompts {
  public:
    virtual ~Prompts() = default;

    // A plain message box with OK.
    void message(const std::string& text) {
        releaseInput();
        showMessage(text, {});
    }
    // A warning with Yes and No; closing it counts as No.
    [[nodiscard]] Answer askYesNo(const std::string& text) {
        releaseInput();
        return showYesNo(text);
    }
    // true ignores the user's input while long work runs, false releases it.
    void lockInput(bool block) {
        locked_ = block;
        setInputLock(block);
    }
    // Whether input is locked now; a lock shared with others answers for itself.
    virtual bool inputLocked() const { return locked_; }

  protected:
    void releaseInput() {
        if (inputLocked()) lockInput(false);
    }
    // caption is the program's name when empty.
    virtual void showMessage(const std::string& text, const std::string& caption) = 0;
    virtual Answer showYesNo(const std::string& text) = 0;
    virtual void setInputLock(bool block) = 0;

  private:
    bool locked_ = false;
};

}  // namespace qx
