// TForm1: the main window. Maximised, with the menu, the banner picture, the result label and
// the navigator; it creates the viewers and the progress window and routes the menu commands to
// PictureCommands.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "app/core/picture_commands.h"
#include "app/core/picture_views.h"
#include "app/core/user_dialogs.h"
#include "app/core/window_surface.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"

class QAction;
class QLabel;
class QMenu;

namespace qx {

class HelpWindow;
class QtUserDialogs;
class TForm2;
class TForm3;
class TForm4;

// The main window's client area: background, banner, result label and the navigator.
class ClientArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClientArea(QWidget* parent) : QWidget(parent) {}
    void setViewState(const ViewState* view) { view_ = view; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const ViewState* view_ = nullptr;
};

class TForm1 : public QMainWindow, public MainSurface {
    Q_OBJECT
  public:
    // `dialogs` may be given by a driver that answers the boxes itself; by default the window
    // uses real message boxes and file dialogs.
    TForm1(Codec& codec, Container& container, const MemoryStatusSource& memory,
           UserDialogs* dialogs = nullptr);
    ~TForm1() override;

    // Shows the window maximised and runs Form1Create once the window is on screen.
    void start();
    bool isStarted() const { return started_; }

    PictureCommands& commands() { return *commands_; }
    PictureViews& views() { return *views_; }
    UserDialogs& dialogs() { return *dialogs_; }
    TForm2* form2() const { return form2_; }
    TForm3* form3() const { return form3_; }
    TForm4* form4() const { return form4_; }
    QLabel* Image1() const { return image1_; }
    QLabel* Label1() const { return label1_; }
    QLabel* Label2() const { return label2_; }
    ClientArea* client() const { return client_; }
    HelpWindow* helpWindow() const { return help_; }

    // Menu items, named as the commands know them.
    QMenu* FilesOp = nullptr;
    QAction* ImageFiles1 = nullptr;
    QAction* CompressFiles1 = nullptr;
    QAction* SaveasImageFile1 = nullptr;
    QAction* SaveasCompressFile1 = nullptr;
    QAction* CloseRestoreorComprFile1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Compress1 = nullptr;
    QAction* HighCompress1 = nullptr;
    QAction* ClearImageCompression1 = nullptr;
    QAction* PackageCompression1 = nullptr;
    QAction* Help1 = nullptr;
    // The View menu (main_window_view.cpp).
    QMenu* View1 = nullptr;
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ActualSize1 = nullptr;
    QAction* FitInViewer1 = nullptr;
    QAction* ShowSource1 = nullptr;
    QAction* DifferenceView1 = nullptr;

    // MainSurface
    MainWindowMetrics metrics() const override;
    void setCaption(const std::string& caption) override;
    void setBannerVisible(bool visible) override;
    void setMenu(const MenuState& menu) override;
    void setResultLabel(const std::string& text, int left, int top) override;
    void setPsnrLabel(const std::string& text) override;
    void setBusy(bool busy) override;
    void redrawNavigator() override;
    void focusMain() override;

  signals:
    void started();
    // "Package Compression" was chosen.
    void packageCompressionRequested();

  public slots:
    void Form1Create();
    void ShowMemoryReport();
    void Help1Click();
    void Exit1Click();

  public:
    // Files named on the command line or dropped on the window. Refused, like any other input,
    // while a command or a batch is at work; returns whether a file was opened. Several pictures
    // start "Package Compression" with them chosen, when the menu offers it.
    bool openHandedFiles(const std::vector<std::string>& files);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Space held shows the source in the restored viewer.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createActions();
    void createViewMenu();
    void enableViewMenu(bool enabled);
    void showBanner(const QString& resource, int left, int top, int width, int height);
    int menuBarHeight() const;
    bool takesHandedFiles() const;
    void runPackageCompression(const std::vector<std::string>& chosen);

    Codec& codec_;
    Container& container_;
    const MemoryStatusSource& memory_;
    std::unique_ptr<QtUserDialogs> ownDialogs_;
    UserDialogs* dialogs_;
    ClientArea* client_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    TForm4* form4_ = nullptr;
    HelpWindow* help_ = nullptr;
    std::unique_ptr<PictureViews> views_;
    std::unique_ptr<PictureCommands> commands_;
    bool started_ = false;
    // A command's long work or a batch is under way (it lets paints through, not input).
    bool busy_ = false;
    bool batchRunning_ = false;
};

}  // namespace qx
