// The main menu MainMenu1 and the window's shortcuts.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

#include "app/core/picture_commands.h"
#include "app/main_window.h"

namespace qx {

void TForm1::createActions() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    FilesOp = bar->addMenu("&File");
    FilesOp->setObjectName("FilesOp");
    ImageFiles1 = FilesOp->addAction("Open Image File");
    CompressFiles1 = FilesOp->addAction("Open Compress File");
    SaveasImageFile1 = FilesOp->addAction("Save as Restore File");
    SaveasCompressFile1 = FilesOp->addAction("Save as Compress File");
    CloseRestoreorComprFile1 = FilesOp->addAction("Close Restore or Compr. File");
    Exit1 = FilesOp->addAction("Exit");

    Compress1 = bar->addMenu("&Compression");
    Compress1->setObjectName("Compress1");
    HighCompress1 = Compress1->addAction("High Compression");
    ClearImageCompression1 = Compress1->addAction("Clear-Image Compression");

    PackageCompression1 = bar->addAction("Package Compression");
    PackageCompression1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Help1 = bar->addAction("Help");

    ImageFiles1->setObjectName("ImageFiles1");
    CompressFiles1->setObjectName("CompressFiles1");
    SaveasImageFile1->setObjectName("SaveasImageFile1");
    SaveasCompressFile1->setObjectName("SaveasCompressFile1");
    CloseRestoreorComprFile1->setObjectName("CloseRestoreorComprFile1");
    Exit1->setObjectName("Exit1");
    HighCompress1->setObjectName("HighCompress1");
    ClearImageCompression1->setObjectName("ClearImageCompression1");
    PackageCompression1->setObjectName("PackageCompression1");
    Help1->setObjectName("Help1");

    connect(ImageFiles1, &QAction::triggered, this, [this] { commands_->openImageFile(); });
    connect(CompressFiles1, &QAction::triggered, this, [this] { commands_->openCompressFile(); });
    connect(SaveasImageFile1, &QAction::triggered, this,
            [this] { commands_->saveAsRestoreFile(); });
    connect(SaveasCompressFile1, &QAction::triggered, this,
            [this] { commands_->saveAsCompressFile(); });
    connect(CloseRestoreorComprFile1, &QAction::triggered, this,
            [this] { commands_->closeFile(); });
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(HighCompress1, &QAction::triggered, this,
            [this] { commands_->compress(CompressionChoice::High); });
    connect(ClearImageCompression1, &QAction::triggered, this,
            [this] { commands_->compress(CompressionChoice::ClearImage); });
    connect(PackageCompression1, &QAction::triggered, this, &TForm1::packageCompressionRequested);
    connect(Help1, &QAction::triggered, this, &TForm1::Help1Click);

    // Ctrl+F and Ctrl+C open their menus; a shortcut on a menu's own action would not.
    auto* openFiles = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    connect(openFiles, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(FilesOp->menuAction()); });
    auto* openCompression = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_C), this);
    connect(openCompression, &QShortcut::activated, this, [this] {
        if (Compress1->menuAction()->isEnabled()) {
            menuBar()->setActiveAction(Compress1->menuAction());
        }
    });
    auto* memoryReport = new QShortcut(QKeySequence(Qt::Key_F5), this);
    memoryReport->setContext(Qt::WindowShortcut);
    connect(memoryReport, &QShortcut::activated, this, &TForm1::ShowMemoryReport);

    createViewMenu();
}

}  // namespace qx
