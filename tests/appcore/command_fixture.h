// The desktop commands wired to scripted dialogs and recording windows, for tests that run the
// menu commands end to end on real pictures without a screen.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/core/picture_commands.h"
#include "app/core/picture_views.h"
#include "appcore/fake_windows.h"
#include "codec/codec.h"
#include "container/container.h"
#include "support/scripted_dialogs.h"
#include "support/settable_memory.h"

namespace qxtest {

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
