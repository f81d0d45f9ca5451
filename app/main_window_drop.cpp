// Files handed to the main window: dropped on it, or named on the program's command line.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "app/core/handed_files.h"
#include "app/main_window.h"
#include "app/qx_application.h"

namespace qx {

namespace {

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (!data) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return files;
}

}  // namespace

bool TForm1::takesHandedFiles() const {
    // Long work lets events through, and a drop is not held back with the keyboard and mouse:
    // refuse it here while a command, a box or a batch holds the program.
    QxApplication* app = QxApplication::instance();
    const bool locked = app && app->inputLock().locked();
    return started_ && !busy_ && !batchRunning_ && !locked && !QApplication::activeModalWidget();
}

bool TForm1::openHandedFiles(const std::vector<std::string>& files) {
    if (!takesHandedFiles()) return false;
    if (const auto batch = HandedBatch(files); !batch.empty() && PackageCompression1->isEnabled()) {
        runPackageCompression(batch);
        return true;
    }
    return OpenHandedFiles(*commands_, files);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (takesHandedFiles() && !LocalFiles(event->mimeData()).empty()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = LocalFiles(event->mimeData());
    if (files.empty() || !takesHandedFiles()) return;
    event->acceptProposedAction();
    // The file opens once the drop is over, so the program it came from is not kept waiting
    // through the boxes of the open command.
    QMetaObject::invokeMethod(
        this, [this, files] { openHandedFiles(files); }, Qt::QueuedConnection);
}

}  // namespace qx
