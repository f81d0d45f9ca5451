// The desktop commands wired to scripted dialogs and recording windows, for tests that run the
// menu commands end to end on real pictures without a screen.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/core/memory_status.h"
#include "app/core/picture_commands.h"
#include "app/core/picture_views.h"
#include "appcore/fake_windows.h"
#include "appcore/scripted_dialogs.h"
#include "codec/codec.h"
#include "container/container.h"

namespace qxtest {

// The free memory that the low-memory question sees; ample unless a test lowers it.
class SettableMemory : public qx::MemoryStatusSource {
  public:
    explicit SettableMemory(int64_t kb = int64_t{16} << 20) : freeKb(kb) {}
    int64_t freeKb;
    qx::MemoryStatus read() const override {
        qx::MemoryStatus s;
        s.valid = true;
        s.memTotalKb = s.memAvailableKb = freeKb;
        return s;
    }
};

// Rows of the menu table, spelled out as the user sees them.
qx::MenuState MenuOf(const char* cells);

class CommandTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Copies a corpus picture into the test's directory and returns its full name.
    std::string Corpus(const std::string& name);
    std::string InDir(const std::string& name) const { return dir_ + "/" + name; }
    void Open(const std::string& fullName);
    void OpenCompressed(const std::string& fullName);

    std::string dir_;
    std::filesystem::path previousDir_;
    qx::Codec codec_;
    qx::Container container_;
    SettableMemory memory_;
    ScriptedDialogs dialogs_;
    FakeMain main_;
    FakeViewer left_;
    FakeViewer right_;
    std::unique_ptr<qx::PictureViews> views_;
    std::unique_ptr<qx::PictureCommands> commands_;
};

}  // namespace qxtest
