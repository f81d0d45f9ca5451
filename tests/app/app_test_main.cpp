// Runs the widget tests inside the program's own application object, on the offscreen platform
// unless another one is asked for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/qx_application.h"

namespace {

// The open and batch commands enter the directory of the file they work on, as the program does;
// a test's temporary directory is gone after it, so every test starts where the run started.
class RestoreWorkingDirectory : public ::testing::EmptyTestEventListener {
  public:
    void OnTestEnd(const ::testing::TestInfo&) override {
        if (::chdir(start_.c_str()) != 0) std::perror(start_.c_str());
    }

  private:
    std::string start_ = std::filesystem::current_path().string();
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new RestoreWorkingDirectory);
    qx::QxApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
