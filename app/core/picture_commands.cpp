// Set-up of the commands, closing, and what several commands share.
#include "app/core/picture_commands.h"

#include <filesystem>
#include <system_error>

#include "app/core/startup_figures.h"

namespace qx {

PictureCommands::PictureCommands(Codec& codec, Container& container, UserDialogs& dialogs,
                                 MainSurface& main, PictureViews& views,
                                 const MemoryStatusSource& memory)
    : codec_(codec),
      container_(container),
      dialogs_(dialogs),
      main_(main),
      views_(views),
      memory_(memory),
      hooks_(dialogs, memory),
      hooksInUse_(codec, hooks_) {
    hooks_.onShowRestored = [this](bool wide) { showRestored(wide); };
}

void PictureCommands::publishMenu() {
    main_.setMenu(menu_);
}

void PictureCommands::startup() {
    ApplyMenuRow(menu_, MenuRow::Startup);
    publishMenu();
}

void PictureCommands::enterChosenFile(const std::string& chosen, std::string& name) {
    // File dialogs leave the current directory alone; later relative names are taken from the
    // directory of the file just chosen.
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(chosen, error);
    const std::filesystem::path directory = full.parent_path();
    std::filesystem::current_path(directory, error);
    session_.WorkingDirectory = directory.string();
    name = full.filename().string();
}

void PictureCommands::redrawNavigator() {
    if (views_.state().NavigatorDrawn) views_.eraseNavigator();
    views_.computeNavigator();
    views_.drawNavigator(NavigatorColour::White, NavigatorColour::Red);
}

void PictureCommands::showRestored(bool wide) {
    restoredShown_ = false;
    const CodecState& s = codec_.state;
    const bool grey = s.RestoredPictureKind == kRestoredGrey;
    const size_t need = static_cast<size_t>(s.Width > 0 ? s.Width : 0) *
                        static_cast<size_t>(s.Length > 0 ? s.Length : 0) * (grey ? 1 : 3);
    if (need == 0 || s.WorkBuffer.size() < need ||
        !views_.showRestoredPicture(s.WorkBuffer.data(), s.Width, s.Length, grey, wide)) {
        dialogs_.message(" 4) There is no memory for file.");
        container_.slot.close();
        return;
    }
    restoredShown_ = true;
}

void PictureCommands::closeCurrent() {
    container_.slot.close();
    views_.hideViewers();
    main_.setCaption("");
    main_.setResultLabel("", 0, 0);
    main_.setPsnrLabel("");
    ApplyMenuRow(menu_, MenuRow::Closed);
    publishMenu();
    main_.setCaption(kClosedCaption);
    views_.eraseNavigator();
    views_.state().NavigatorDrawn = false;
}

void PictureCommands::closeFile() {
    closeCurrent();
    main_.setBannerVisible(true);
}

}  // namespace qx
