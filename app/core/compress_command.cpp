// "High Compression" and "Clear-Image Compression": compress the shown picture in memory, show
// the restored picture beside it and the compressed size under it.
#include <cstdlib>
#include <ctime>
#include <new>

#include "app/core/comparison.h"
#include "app/core/picture_commands.h"
#include "app/core/picture_loader.h"
#include "app/core/status_text.h"

namespace qx {

namespace {

// Seconds since 1970; SOURCE_DATE_EPOCH stands in when set, so that files can be reproduced.
uint32_t CompressionTimeNow() {
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(epoch, &end, 10);
        if (end != epoch && *end == '\0') return static_cast<uint32_t>(value);
    }
    return static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace

void PictureCommands::compress(CompressionChoice choice) {
    if (!views_.state().SourceViewerShown) return;
    menu_.package = false;
    publishMenu();
    const bool high = choice == CompressionChoice::High;
    codec_.params.CompressionMode = high ? 0 : 1;
    codec_.params.Quality = high ? 0 : 4;
    compressAndShow();
    ApplyMenuRow(menu_, MenuRow::Compressed);
    // A compression that failed leaves nothing to compare.
    menu_.compare = menu_.compare && views_.comparable();
    publishMenu();
}

void PictureCommands::compressAndShow() {
    const int width = session_.loadedWidth;
    const int length = session_.loadedLength;
    ViewerSurface& left = views_.sourceSurface();
    // The picture's own size, whatever an earlier failed run left in the codec.
    codec_.state.Width = static_cast<int16_t>(width);
    codec_.state.Length = static_cast<int16_t>(length);
    if (session_.PictureState == 2) {
        // The earlier compression consumed PictureBuffer; start again from the shown source.
        try {
            RefillFromDisplayCopy(views_.sourceCopy(), codec_.state.PictureBuffer,
                                  PictureBufferSize(session_.PictureBufferBase, width, length));
        } catch (const std::bad_alloc&) {
            dialogs_.message(" 2) There is no memory for file.");
            return;
        }
    }
    session_.PictureState = 2;
    main_.setBusy(true);
    left.setPointer(Pointer::Wait);

    auto stop = [&](int status) {
        if (const char* text = CodecErrorMessage(status)) dialogs_.message(text);
        main_.setBusy(false);
        left.setPointer(Pointer::Hand);
    };
    if (const int status = CompressForPreview(codec_)) {
        stop(status);
        return;
    }
    const int body = BuildCompressedImage(container_, codec_, CompressionTimeNow());
    if (body == kCodeErr) {
        stop(body);
        return;
    }
    main_.setBusy(false);
    left.setPointer(Pointer::Hand);

    const std::string& name = session_.CurrentName;
    session_.OutputName = (name.size() >= 4 ? name.substr(0, name.size() - 4) : name) + ".qx1";
    const ViewerSurface& right = views_.restoredSurface();
    main_.setResultLabel("V =" + CompressedSizeText(body, width, length), right.left() + 22,
                         right.top() + views_.state().MaxViewLength);
    main_.setPsnrLabel(PsnrLabelText(DisplayCopyPsnr(views_.sourceCopy(), views_.restoredCopy())));
}

}  // namespace qx
