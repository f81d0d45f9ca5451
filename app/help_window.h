// The help window: the program's HTML help in a simple browser, opened at its first topic.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace qx {

// Full path of a help document shipped with the program, looked up beside the executable
// (build tree and relocated installs) and in the install prefix; empty when not found.
QString FindHelpFile(const QString& name);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // Shows the document at its first topic and brings the window to the front.
    void showDocument(const QString& path);
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

}  // namespace qx
