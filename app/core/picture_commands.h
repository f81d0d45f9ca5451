// The File and Compression menu commands of the desktop program: open a picture, compress it in
// either mode and show the result, open a compressed file, save the compressed file or the
// restored picture, close. Written against the dialogs and window surfaces, so they run the
// same with real windows and with scripted answers.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/menu_state.h"
#include "app/core/picture_views.h"
#include "app/core/user_dialogs.h"
#include "codec/codec.h"
#include "codec/scoped_hooks.h"
#include "container/container.h"
#include "load/compression_mode.h"
#include "load/dialog_hooks.h"
#include "load/memory_status.h"

namespace qx {

// What the commands remember between them.
struct PictureSession {
    std::string WorkingDirectory;
    std::string CurrentName;  // chosen file, relative to WorkingDirectory
    std::string OutputName;   // suggestion for saving
    // 0 no source picture held, 1 shown and not compressed, 2 compressed at least once.
    int PictureState = 0;
    int64_t PictureBufferBase = 0;
    // Size of the loaded picture; a failed compression may leave the codec at another size.
    int loadedWidth = 0;
    int loadedLength = 0;
    bool jpeg = false;
    int64_t jpegFileLength = 0;
};

// Dialog titles and filters of the commands.
// The open command also lists the kinds read by content; the batch keeps its own list, since
// it passes over names other than its own.
inline constexpr const char* kImageFilter =
    "Image Files (RGB only) (*.tif *.TIF *.jpg *.JPG *.bmp *.BMP *.png *.PNG *.ppm *.PPM *.jpeg "
    "*.JPEG *.tiff *.TIFF);;BMP  (*.bmp *.BMP);;JPEG  (*.jpg *.JPG *.jpeg *.JPEG);;"
    "TIFF (*.tif *.TIF *.tiff *.TIFF);;PNG  (*.png *.PNG);;PPM  (*.ppm *.PPM)";
inline constexpr const char* kPackageImageFilter =
    "Image Files (RGB only) (*.tif *.TIF *.jpg *.JPG *.bmp *.BMP);;BMP  (*.bmp *.BMP);;"
    "JPEG  (*.jpg *.JPG);;TIFF (*.tif *.TIF)";
inline constexpr const char* kCompressedFilter = "Compress. files (*.qx1 *.QX1)";
inline constexpr const char* kSaveCompressedFilter = "*.qx1 (*.qx1)";
inline constexpr const char* kSaveRestoredFilter = "*.tif (*.tif)";
inline constexpr const char* kOpenTitle = "Open";
inline constexpr const char* kSaveTitle = "Save As";

class PictureCommands {
  public:
    PictureCommands(Codec& codec, Container& container, UserDialogs& dialogs, MainSurface& main,
                    PictureViews& views, const MemoryStatusSource& memory);
    PictureCommands(const PictureCommands&) = delete;
    PictureCommands& operator=(const PictureCommands&) = delete;

    // The menu as the main window sets it when it starts.
    void startup();

    // The open commands ask through their dialog unless a file is handed to them (named on
    // the command line or dropped on the window); everything after the dialog is the same.
    void openImageFile(const std::string& handedFile = {});
    void compress(CompressionChoice choice);
    void openCompressFile(const std::string& handedFile = {});
    void saveAsCompressFile();
    void saveAsRestoreFile();
    void closeFile();

    const MenuState& menu() const { return menu_; }
    const PictureSession& session() const { return session_; }
    DialogHooks& hooks() { return hooks_; }

  private:
    void closeCurrent();
    void compressAndShow();
    void showRestored(bool wide);
    void redrawNavigator();
    void publishMenu();
    // Makes the chosen file's directory current and splits the name.
    void enterChosenFile(const std::string& chosen, std::string& name);

    Codec& codec_;
    Container& container_;
    UserDialogs& dialogs_;
    MainSurface& main_;
    PictureViews& views_;
    const MemoryStatusSource& memory_;
    DialogHooks hooks_;
    ScopedHooks hooksInUse_;
    MenuState menu_;
    PictureSession session_;
    bool restoredShown_ = false;
};

}  // namespace qx
