// A batch run with scripted dialogs, a recording progress window and files in a fresh directory.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/core/package_compression.h"
#include "appcore/command_fixture.h"
#include "support/picture_files.h"
#include "support/scripted_dialogs.h"

namespace qxtest {

class RecordingProgress : public qx::PackageProgress {
  public:
    std::vector<std::string> captions;
    std::vector<int> values;
    bool shown = false;
    bool everShown = false;
    bool bannerVisible = true;

    void setCaption(const std::string& caption) override { captions.push_back(caption); }
    void setValue(int value) override { values.push_back(value); }
    void show() override { shown = everShown = true; }
    void hide() override { shown = false; }
    void setBannerVisible(bool visible) override { bannerVisible = visible; }
    int last() const { return values.empty() ? -1 : values.back(); }
};

class PackageTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a 24-bit BMP (or another shape) into the source directory; returns its full name.
    std::string writeBmp(const std::string& name, const BmpShape& shape = {});
    // Chooses files and the target directory, then runs the command.
    qx::PackageResult run(const std::vector<std::string>& files);
    std::string targetFile(const std::string& name) const { return target + "/" + name; }
    // Every box appeared with input released.
    void expectBoxesUnlocked() const;

    std::string root;
    std::string source;
    std::string target;
    ScriptedDialogs dialogs;
    RecordingProgress progress;
    SettableMemory memory;
    qx::Codec codec;
    qx::Container container;

  private:
    std::filesystem::path previousDirectory_;
};

}  // namespace qxtest
