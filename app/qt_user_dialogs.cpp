// QMessageBox and QFileDialog behind the dialogs interface.
#include "app/qt_user_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace qx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.toStdString();
}

QSize ScreenSize() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(0, 0);
}

// A box whose texts are never read as rich text (file names may hold "<" or "&").
QMessageBox::StandardButton RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                   const std::string& text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton,
                                   QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, caption, Q(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    const int result = box.exec();
    // Closing the box by its border gives the escape button.
    return static_cast<QMessageBox::StandardButton>(result);
}

QString ProgramName() {
    return QCoreApplication::applicationName();
}

}  // namespace

void QtUserDialogs::setInputLock(bool block) {
    const QSize screen = ScreenSize();
    lock_.set(block, screen.width(), screen.height());
}

void QtUserDialogs::showMessage(const std::string& text, const std::string& caption) {
    RunBox(parent_, QMessageBox::NoIcon, caption.empty() ? ProgramName() : Q(caption), text,
           QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
}

void QtUserDialogs::showInformation(const std::string& text) {
    RunBox(parent_, QMessageBox::Information, ProgramName(), text, QMessageBox::Ok, QMessageBox::Ok,
           QMessageBox::Ok);
}

Answer QtUserDialogs::showYesNo(const std::string& text) {
    const auto b = RunBox(parent_, QMessageBox::Warning, ProgramName(), text,
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No);
    return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtUserDialogs::showYesNoCancel(const std::string& text) {
    const auto b = RunBox(parent_, QMessageBox::Warning, ProgramName(), text,
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                          QMessageBox::Yes, QMessageBox::Cancel);
    if (b == QMessageBox::Yes) return Answer::Yes;
    if (b == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

Answer QtUserDialogs::showRetryCancel(const std::string& text) {
    const auto b =
        RunBox(parent_, QMessageBox::Warning, ProgramName(), text,
               QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Cancel);
    return b == QMessageBox::Retry ? Answer::Retry : Answer::Cancel;
}

void QtUserDialogs::showCancelOnly(const std::string& text) {
    RunBox(parent_, QMessageBox::Warning, ProgramName(), text, QMessageBox::Cancel,
           QMessageBox::Cancel, QMessageBox::Cancel);
}

QStringList QtUserDialogs::chooseFiles(const std::string& title, const std::string& filter,
                                       bool several) {
    QFileDialog dialog(parent_, Q(title), QDir::currentPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters = Q(filter).split(";;");
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(0));
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

std::string QtUserDialogs::showOpenFile(const std::string& title, const std::string& filter) {
    const QStringList files = chooseFiles(title, filter, false);
    return files.isEmpty() ? std::string() : S(files.first());
}

std::vector<std::string> QtUserDialogs::showOpenFiles(const std::string& title,
                                                      const std::string& filter) {
    std::vector<std::string> out;
    for (const QString& f : chooseFiles(title, filter, true)) out.push_back(S(f));
    return out;
}

std::string QtUserDialogs::showSaveFile(const std::string& title, const std::string& filter,
                                        const std::string& suggestedName,
                                        const std::string& defaultSuffix) {
    QFileDialog dialog(parent_, Q(title), QDir::currentPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Q(filter));
    dialog.setDefaultSuffix(Q(defaultSuffix));
    if (!suggestedName.empty()) dialog.selectFile(Q(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return S(dialog.selectedFiles().first());
}

std::string QtUserDialogs::showChooseDirectory(const std::string& title, const std::string& start) {
    QFileDialog dialog(parent_, Q(title), Q(start));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    const QString path = QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
    if (!QFileInfo::exists(path) && !QDir().mkpath(path)) return {};
    return S(path);
}

}  // namespace qx
