// The desktop program: the application object, the main window with its viewers, the loop.
// Files named on the command line (qx-compressor FILE...) open once the window has started.
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/qx_application.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"

int main(int argc, char** argv) {
    qx::PreferX11();
    // Takes Qt's own options out of argv; what is left are the files handed to the program.
    qx::QxApplication app(argc, argv);
    app.setHelpFile("WendoHelp.html");
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (i == 1 && std::string(argv[i]) == "--") continue;
        files.emplace_back(argv[i]);
    }

    qx::Codec codec;
    qx::Container container;
    qx::MemoryStatusSource memory;
    qx::TForm1 form1(codec, container, memory);
    QObject::connect(&form1, &qx::TForm1::started, &form1,
                     [&form1, files] { form1.openHandedFiles(files); });
    form1.start();
    return app.exec();
}
