// "Package Compression": compresses any number of chosen pictures, one after another, in the
// "High Compression" mode into one chosen directory, showing how far the batch has come.
// Written against the dialogs and a small progress window, so it runs the same with real
// windows and with scripted answers.
#pragma once

#include <string>

#include "app/core/user_dialogs.h"
#include "codec/codec.h"
#include "container/container.h"
#include "load/memory_status.h"

namespace qx {

// The progress window of the batch and the banner of the main window.
class PackageProgress {
  public:
    virtual ~PackageProgress() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // Position of the bar, 0 ... 100; the window repaints before this returns.
    virtual void setValue(int value) = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual void setBannerVisible(bool /*visible*/) {}
};

inline constexpr const char* kPackageTitle = "Choose a number of Image Files for Compression";

struct PackageResult {
    int savedCount = 0;
    std::string targetDirectory;
};

// Runs the whole command: file dialog, directory dialog, every file, the final report. Pictures
// already chosen (handed to the program together) skip the file dialog.
PackageResult RunPackageCompression(Codec& codec, Container& container, UserDialogs& dialogs,
                                    PackageProgress& progress, const MemoryStatusSource& memory,
                                    const std::vector<std::string>& chosen = {});

}  // namespace qx
