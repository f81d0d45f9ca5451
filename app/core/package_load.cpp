// A batch's loading of one picture: the loader's messages are watched, and those that the batch
// turns into a question are held back so that the question names the file instead.
#include "app/core/package_load.h"

#include <set>

#include "app/core/picture_loader.h"

namespace qx {

namespace {

constexpr const char* kNoMemory = " 2) There is no memory for file.";
constexpr const char* kNextFiles = ": Do you want to compress next files?";

// Forwards every box to the real dialogs, except the messages in held, and remembers the last
// message and whether a Yes/No question was declined. The loader opens the file by its full
// name and its questions start with that name; they reach the user with the shown name instead.
class WatchedDialogs : public UserDialogs {
  public:
    WatchedDialogs(UserDialogs& inner, std::set<std::string> held, const std::string& fullName,
                   const std::string& shownName)
        : inner_(inner), held_(std::move(held)), fullName_(fullName), shownName_(shownName) {}

    std::string last;
    bool declined = false;

    void message(const std::string& text, const std::string& caption = {}) override {
        last = text;
        if (held_.count(text)) {
            inner_.lockInput(false);
            return;
        }
        inner_.message(text, caption);
    }
    void information(const std::string& text) override { inner_.information(text); }
    Answer askYesNo(const std::string& text) override {
        const Answer answer = inner_.askYesNo(shown(text));
        if (answer != Answer::Yes) declined = true;
        return answer;
    }
    Answer askYesNoCancel(const std::string& text) override { return inner_.askYesNoCancel(text); }
    Answer askRetryCancel(const std::string& text) override { return inner_.askRetryCancel(text); }
    void warnCancelOnly(const std::string& text) override { inner_.warnCancelOnly(text); }
    std::string openFile(const std::string& title, const std::string& filter) override {
        return inner_.openFile(title, filter);
    }
    std::vector<std::string> openFiles(const std::string& title,
                                       const std::string& filter) override {
        return inner_.openFiles(title, filter);
    }
    std::string saveFile(const std::string& title, const std::string& filter,
                         const std::string& suggestedName,
                         const std::string& defaultSuffix) override {
        return inner_.saveFile(title, filter, suggestedName, defaultSuffix);
    }
    std::string chooseDirectory(const std::string& title, const std::string& start) override {
        return inner_.chooseDirectory(title, start);
    }
    void lockInput(bool block) override { inner_.lockInput(block); }

  private:
    std::string shown(const std::string& text) const {
        const std::string prefix = fullName_ + ":";
        if (text.rfind(prefix, 0) != 0) return text;
        return shownName_ + text.substr(fullName_.size());
    }

    UserDialogs& inner_;
    std::set<std::string> held_;
    const std::string& fullName_;
    const std::string& shownName_;
};

bool IsSizeMessage(const std::string& text) {
    return text.rfind("(Width=", 0) == 0 || text.rfind("(Length=", 0) == 0;
}

enum class Reader { Jpeg, Bmp, Tiff };

Reader ReaderOf(const std::string& name) {
    const std::string extension = name.substr(name.size() - 4);
    if (extension == ".jpg" || extension == ".JPG") return Reader::Jpeg;
    if (extension == ".bmp" || extension == ".BMP") return Reader::Bmp;
    return Reader::Tiff;
}

std::set<std::string> HeldMessages(Reader reader) {
    switch (reader) {
        case Reader::Jpeg:
            return {"Open JPEG Err.", "JPEG File's Length Err.", "File isn't True Colour (RGB)",
                    kNoMemory};
        case Reader::Bmp:
            return {kNoMemory};
        case Reader::Tiff:
            return {" File cann't be open.", kNoMemory};
    }
    return {};
}

// The question that follows a failed load, or nullptr when the batch ends without one.
const char* QuestionAfter(Reader reader, const std::string& last) {
    const bool noMemory = last == kNoMemory;
    switch (reader) {
        case Reader::Jpeg:
            if (last == "Open JPEG Err.")
                return ": Open JPEG Err. Do you want to compress next files?";
            if (last == "JPEG File's Length Err.")
                return ": JPEG File's Length Err. Do you want to compress next files?";
            if (last == "File isn't True Colour (RGB)")
                return ": File isn't True Colour (RGB). Do you want to compress next files?";
            if (noMemory) return ": 1) No memory for file. Compress next files?";
            return kNextFiles;
        case Reader::Bmp:
            if (IsSizeMessage(last)) return kNextFiles;
            if (noMemory) return ": 2) No memory for file. Compress next files?";
            return nullptr;
        case Reader::Tiff:
            if (last == " File cann't be open." || last == " File's Length Err.") return nullptr;
            if (noMemory) return ": 1) No memory for file. Compress next files?";
            return ": Compress next files?";
    }
    return nullptr;
}

}  // namespace

BatchStep LoadBatchPicture(Codec& codec, UserDialogs& dialogs, const MemoryStatusSource& memory,
                           const std::string& fullName, const std::string& currentName) {
    const Reader reader = ReaderOf(currentName);
    WatchedDialogs watched(dialogs, HeldMessages(reader), fullName, currentName);
    if (LoadPictureForCompression(codec, watched, fullName, memory).loaded)
        return BatchStep::Compress;
    if (watched.declined) return BatchStep::Stop;
    if (reader == Reader::Tiff && watched.last == " File cann't be open.") {
        dialogs.lockInput(false);
        dialogs.message(" File Cann't be open.");
    }
    const char* question = QuestionAfter(reader, watched.last);
    if (!question) return BatchStep::Stop;
    dialogs.lockInput(false);
    return dialogs.askYesNo(currentName + question) == Answer::Yes ? BatchStep::NextFile
                                                                   : BatchStep::Stop;
}

}  // namespace qx
