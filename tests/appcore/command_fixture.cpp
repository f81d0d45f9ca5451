// Set-up of the command tests.
#include "appcore/command_fixture.h"

#include <cstdlib>

#include "support/test_support.h"

namespace qxtest {

qx::MenuState MenuOf(const char* cells) {
    // Open Image, Open Compress, Save as Restore, Save as Compress, Close, Exit, Compression,
    // Package, View: '+' enabled, '-' disabled; a missing View cell is disabled.
    auto on = [&](int i) { return cells[i] == '+'; };
    return qx::MenuState{
        on(0), on(1), on(2), on(3), on(4), on(5), on(6), on(7), cells[7] != '\0' && on(8)};
}

void CommandTest::SetUp() {
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    previousDir_ = std::filesystem::current_path();
    dir_ = MakeTempDir();
    views_ = std::make_unique<qx::PictureViews>(main_, left_, right_);
    views_->setMaxView(472, 518);  // a 1024 x 768 screen with a 50-pixel frame
    commands_ = std::make_unique<qx::PictureCommands>(codec_, container_, dialogs_, main_, *views_,
                                                      memory_);
    commands_->startup();
}

void CommandTest::TearDown() {
    commands_.reset();
    std::filesystem::current_path(previousDir_);
    std::error_code error;
    std::filesystem::remove_all(dir_, error);
}

std::string CommandTest::Corpus(const std::string& name) {
    const std::string target = InDir(name);
    std::filesystem::copy_file(CorpusPath(name), target,
                               std::filesystem::copy_options::overwrite_existing);
    return target;
}

void CommandTest::Open(const std::string& fullName) {
    dialogs_.opened.push_back(fullName);
    commands_->openImageFile();
}

void CommandTest::OpenCompressed(const std::string& fullName) {
    dialogs_.opened.push_back(fullName);
    commands_->openCompressFile();
}

}  // namespace qxtest
