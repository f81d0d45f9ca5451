// Which menu commands are available. Each command leaves the menu in a fixed state, so the user
// stays within sensible sequences (no Exit while a result is on screen, no save before a
// compression).
#pragma once

namespace qx {

struct MenuState {
    bool openImage = true;
    bool openCompress = true;
    bool saveRestore = true;
    bool saveCompress = true;
    bool close = true;
    bool exit = true;
    bool compression = true;
    bool package = true;
    // The View menu: comparing needs the source and the restored picture on screen.
    bool compare = false;
    bool operator==(const MenuState&) const = default;
};

enum class MenuRow {
    Startup,
    Closed,
    PictureOpened,
    PictureOpenFailed,
    Compressed,
    CompressedFileOpened,
    CompressedFileFailed,
    CompressedFileCancelled,
};

// Sets the items the row fixes and leaves the others as they are.
void ApplyMenuRow(MenuState& menu, MenuRow row);

}  // namespace qx
