// Dialogs for tests of the desktop commands: every box is recorded with its kind and text, and a
// box shown while input is locked fails the test; questions and file and directory dialogs
// answer from queues, and every change of the input lock can be watched.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/core/user_dialogs.h"

namespace qxtest {

struct ShownBox {
    std::string kind;  // "message", "information", "yesno", "yesnocancel", "retrycancel", ...
    std::string text;
    bool lockedWhenShown = false;
    std::string caption;  // plain messages only; empty for the program's name
};

struct SaveRequest {
    std::string filter;
    std::string suggestedName;
    std::string defaultSuffix;
};

class ScriptedDialogs : public qx::UserDialogs {
  public:
    std::vector<ShownBox> boxes;
    std::deque<qx::Answer> answers;       // questions; No (or Cancel) when empty
    std::deque<std::string> opened;       // open-file answers; cancelled when empty
    std::deque<std::string> saved;        // save-file answers; cancelled when empty
    std::deque<std::string> directories;  // directory dialog answers; cancelled when empty
    int directoryDialogs = 0;
    std::function<void(bool)> onLock;  // called before every change of the input lock
    std::vector<std::string> openFilters;
    std::vector<SaveRequest> saveRequests;
    bool locked = false;  // as the interface last set it

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const ShownBox& b : boxes) out.push_back(b.text);
        return out;
    }

  protected:
    void showMessage(const std::string& text, const std::string& caption) override {
        record("message", text);
        boxes.back().caption = caption;
    }
    void showInformation(const std::string& text) override { record("information", text); }
    qx::Answer showYesNo(const std::string& text) override {
        record("yesno", text);
        return next(qx::Answer::No);
    }
    qx::Answer showYesNoCancel(const std::string& text) override {
        record("yesnocancel", text);
        return next(qx::Answer::Cancel);
    }
    qx::Answer showRetryCancel(const std::string& text) override {
        record("retrycancel", text);
        return next(qx::Answer::Cancel);
    }
    void showCancelOnly(const std::string& text) override { record("cancelonly", text); }
    std::string showOpenFile(const std::string&, const std::string& filter) override {
        openFilters.push_back(filter);
        return take(opened);
    }
    std::vector<std::string> showOpenFiles(const std::string&, const std::string& filter) override {
        openFilters.push_back(filter);
        std::vector<std::string> all(opened.begin(), opened.end());
        opened.clear();
        return all;
    }
    std::string showSaveFile(const std::string&, const std::string& filter,
                             const std::string& suggestedName,
                             const std::string& defaultSuffix) override {
        saveRequests.push_back({filter, suggestedName, defaultSuffix});
        return take(saved);
    }
    std::string showChooseDirectory(const std::string&, const std::string&) override {
        ++directoryDialogs;
        return take(directories);
    }
    void setInputLock(bool block) override {
        if (onLock) onLock(block);
        locked = block;
    }

  private:
    // The interface promises that no box appears while input is locked.
    void record(const char* kind, const std::string& text) {
        EXPECT_FALSE(locked) << "shown with input locked: " << text;
        boxes.push_back({kind, text, locked, {}});
    }
    qx::Answer next(qx::Answer otherwise) {
        if (answers.empty()) return otherwise;
        qx::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    static std::string take(std::deque<std::string>& queue) {
        if (queue.empty()) return {};
        std::string s = queue.front();
        queue.pop_front();
        return s;
    }
};

}  // namespace qxtest
