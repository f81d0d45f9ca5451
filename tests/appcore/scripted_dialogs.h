// Dialogs for tests of the desktop commands: every box is recorded with its kind, text and whether
// input was still locked when it appeared; questions and file dialogs answer from queues.
#pragma once

#include <deque>
#include <string>
#include <vector>

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
    std::deque<qx::Answer> answers;  // questions; No (or Cancel) when empty
    std::deque<std::string> opened;  // open-file answers; cancelled when empty
    std::deque<std::string> saved;   // save-file answers; cancelled when empty
    std::vector<std::string> openFilters;
    std::vector<SaveRequest> saveRequests;
    bool locked = false;

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const ShownBox& b : boxes) out.push_back(b.text);
        return out;
    }

    void message(const std::string& text, const std::string& caption = {}) override {
        record("message", text);
        boxes.back().caption = caption;
    }
    void information(const std::string& text) override { record("information", text); }
    qx::Answer askYesNo(const std::string& text) override {
        record("yesno", text);
        return next(qx::Answer::No);
    }
    qx::Answer askYesNoCancel(const std::string& text) override {
        record("yesnocancel", text);
        return next(qx::Answer::Cancel);
    }
    qx::Answer askRetryCancel(const std::string& text) override {
        record("retrycancel", text);
        return next(qx::Answer::Cancel);
    }
    void warnCancelOnly(const std::string& text) override { record("cancelonly", text); }
    std::string openFile(const std::string&, const std::string& filter) override {
        openFilters.push_back(filter);
        return take(opened);
    }
    std::vector<std::string> openFiles(const std::string&, const std::string& filter) override {
        openFilters.push_back(filter);
        std::vector<std::string> all(opened.begin(), opened.end());
        opened.clear();
        return all;
    }
    std::string saveFile(const std::string&, const std::string& filter,
                         const std::string& suggestedName,
                         const std::string& defaultSuffix) override {
        saveRequests.push_back({filter, suggestedName, defaultSuffix});
        return take(saved);
    }
    std::string chooseDirectory(const std::string&, const std::string&) override { return {}; }
    void lockInput(bool block) override { locked = block; }

  private:
    void record(const char* kind, const std::string& text) {
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
