// "Open Image File": choose a picture, load it, show it in the left viewer.
#include <new>

#include "app/core/picture_commands.h"
#include "app/core/startup_figures.h"
#include "load/picture_loader.h"
#include "load/status_text.h"

namespace qx {

void PictureCommands::openImageFile(const std::string& handedFile) {
    closeCurrent();
    main_.setBannerVisible(false);
    menu_.package = false;
    publishMenu();

    // Every way out that does not show a picture leaves the menu like this.
    auto failed = [this](bool showBanner) {
        if (showBanner) main_.setBannerVisible(true);
        main_.setBusy(false);
        menu_.compression = false;
        menu_.package = true;
        publishMenu();
        container_.slot.close();
    };

    const std::string chosen =
        handedFile.empty() ? dialogs_.openFile(kOpenTitle, kImageFilter) : handedFile;
    if (chosen.empty()) {
        failed(true);
        return;
    }
    enterChosenFile(chosen, session_.CurrentName);
    views_.hideViewers();

    main_.setBusy(true);
    LoadRequest request(session_.CurrentName);
    // After the size refusal of a picture that is too large: "Scale it down to W x L and open
    // it?"
    request.fit = FitChoice::Ask;
    const LoadOutcome loaded = LoadPicture(codec_, dialogs_, request, memory_);
    main_.setBusy(false);
    if (!loaded.loaded()) {
        failed(loaded.showBanner);
        return;
    }

    session_.OutputName = session_.CurrentName;
    session_.loadedWidth = loaded.width;
    session_.loadedLength = loaded.length;
    session_.jpeg = loaded.reader == PictureReader::Jpeg;
    session_.jpegFileLength = loaded.jpegFileLength;
    session_.PictureBufferBase = loaded.pictureBufferBase;

    if (!views_.allocateSourceCopy(loaded.width, loaded.length)) {
        dialogs_.message(" 3) There is no memory for file.");
        failed(false);
        return;
    }
    views_.showSourcePicture(codec_.state.PictureBuffer.data(), loaded.width, loaded.length);
    session_.PictureState = 1;

    const std::string status = session_.jpeg
                                   ? SizeText(loaded.width, loaded.length, loaded.jpegFileLength)
                                   : SizeText(loaded.width, loaded.length);
    main_.setCaption(kMainCaption + session_.CurrentName + status);
    ApplyMenuRow(menu_, MenuRow::PictureOpened);
    publishMenu();
    redrawNavigator();
}

}  // namespace qx
