// Runs the widget tests inside the program's own application object, on the offscreen platform
// unless another one is asked for.
#include <gtest/gtest.h>

#include "app/qx_application.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    qx::QxApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
