// The desktop program: the application object, the main window with its viewers, the loop.
#include "app/main_window.h"
#include "app/qx_application.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"

int main(int argc, char** argv) {
    qx::PreferX11();
    qx::QxApplication app(argc, argv);
    app.setHelpFile("WendoHelp.html");

    qx::Codec codec;
    qx::Container container;
    qx::MemoryStatusSource memory;
    qx::TForm1 form1(codec, container, memory);
    form1.start();
    return app.exec();
}
