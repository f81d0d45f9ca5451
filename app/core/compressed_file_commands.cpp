// "Open Compress File", "Save as Compress File" and "Save as Restore File".
#include <filesystem>
#include <system_error>

#include "app/core/picture_commands.h"
#include "app/core/startup_figures.h"
#include "container/compressed_name.h"
#include "container/compressed_reader.h"
#include "container/file_title.h"
#include "imageio/tiff_writer.h"
#include "load/picture_names.h"
#include "load/status_text.h"

namespace qx {

void PictureCommands::openCompressFile(const std::string& handedFile) {
    closeCurrent();
    main_.setBannerVisible(false);
    menu_.package = false;
    views_.hideViewers();
    main_.setCaption(kMainCaption);
    publishMenu();

    auto finish = [this] {
        menu_.compression = false;
        menu_.openImage = true;
        menu_.openCompress = true;
        publishMenu();
    };

    const std::string chosen =
        handedFile.empty() ? dialogs_.openFile(kOpenTitle, kCompressedFilter) : handedFile;
    if (chosen.empty()) {
        menu_.package = true;
        main_.setBannerVisible(true);
        finish();
        return;
    }
    enterChosenFile(chosen, session_.OutputName);
    if (!IsCompressedName(session_.OutputName)) {
        finish();
        return;
    }

    main_.setBusy(true);
    const int status = OpenCompressedFile(container_, codec_, session_.OutputName);
    container_.slot.close();
    main_.setBusy(false);
    if (status != 0) {
        main_.setBannerVisible(true);
        menu_.openImage = true;
        menu_.openCompress = true;
        publishMenu();
        return;
    }

    ViewState& view = views_.state();
    view.ViewX = view.ViewY = 0;
    showRestored(true);
    std::error_code error;
    const auto fileLength = std::filesystem::file_size(session_.OutputName, error);
    session_.PictureBufferBase = error ? 0 : static_cast<int64_t>(fileLength) - kTitleSize;
    const int width = codec_.state.Width;
    const int length = codec_.state.Length;
    main_.setCaption(kMainCaption + session_.OutputName +
                     SizeText(width, length, session_.PictureBufferBase) +
                     RatioText(width, length, session_.PictureBufferBase));
    session_.PictureState = 0;
    ApplyMenuRow(menu_, MenuRow::CompressedFileOpened);
    publishMenu();
    if (restoredShown_) redrawNavigator();
    finish();
}

void PictureCommands::saveAsCompressFile() {
    const std::string chosen =
        dialogs_.saveFile(kSaveTitle, kSaveCompressedFilter, session_.OutputName,
                          std::string(kCompressedExtension.substr(1)));
    if (chosen.empty()) return;
    session_.OutputName = chosen;
    // The writer reports its own failures.
    (void)WriteCompressedFile(container_, hooks_, session_.OutputName);
}

void PictureCommands::saveAsRestoreFile() {
    // The suggestion drops the extension each time afresh; the name itself is kept.
    const std::string chosen = dialogs_.saveFile(kSaveTitle, kSaveRestoredFilter,
                                                 RestoredName(session_.OutputName), "tif");
    if (chosen.empty()) return;

    const CodecState& s = codec_.state;
    const int kind = s.RestoredPictureKind;
    const size_t need = static_cast<size_t>(s.Width > 0 ? s.Width : 0) *
                        static_cast<size_t>(s.Length > 0 ? s.Length : 0) *
                        (kind == kRestoredGrey ? 1 : 3);
    const bool known = kind == kRestoredGrey || kind == kRestoredRgb;
    if (known && s.WorkBuffer.size() < need) {
        dialogs_.message("Create Err.");
        return;
    }
    if (WriteRestoredTiff(chosen, s.WorkBuffer.data(), s.Width, s.Length, kind, hooks_) != 0) {
        dialogs_.message("Create Err.");
    }
}

}  // namespace qx
