// "High Compression" and "Clear-Image Compression": compress the shown picture in memory, show
// the restored picture beside it and the compressed size under it.
#include <new>

#include "app/core/comparison.h"
#include "app/core/picture_commands.h"
#include "load/compression_time.h"
#include "load/picture_loader.h"
#include "load/picture_names.h"
#include "load/status_text.h"

namespace qx {

void PictureCommands::compress(CompressionChoice choice) {
    if (!views_.state().SourceViewerShown) return;
    menu_.package = false;
    publishMenu();
    ApplyCompressionChoice(choice, codec_.params);
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
    const int body = BuildCompressedImage(container_, codec_, CompressionTimeOrClock());
    if (body == kCodeErr) {
        stop(body);
        return;
    }
    main_.setBusy(false);
    left.setPointer(Pointer::Hand);

    session_.OutputName = CompressedName(session_.CurrentName);
    const ViewerSurface& right = views_.restoredSurface();
    main_.setResultLabel("V =" + CompressedSizeText(body, width, length), right.left() + 22,
                         right.top() + views_.state().MaxViewLength);
    main_.setPsnrLabel(PsnrLabelText(DisplayCopyPsnr(views_.sourceCopy(), views_.restoredCopy())));
}

}  // namespace qx
