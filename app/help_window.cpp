// Help lookup and the help window.
#include "app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qx {

QString FindHelpFile(const QString& name) {
    const QStringList places{
        QDir(QCoreApplication::applicationDirPath()).filePath(QX_RELATIVE_HELP_DIR),
        QStringLiteral(QX_INSTALLED_HELP_DIR),
    };
    for (const QString& dir : places) {
        const QFileInfo info(QDir(dir), name);
        if (info.isFile()) return info.canonicalFilePath();
    }
    return {};
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QCoreApplication::applicationName() + " Help");
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(640, 560);
}

void HelpWindow::showDocument(const QString& path) {
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment("topic1");
    browser_->setSource(url);
    show();
    raise();
    activateWindow();
}

}  // namespace qx
