// Status texts, the reset of the reader-only fields, and the three drivers.
#include "codec/codec.h"

namespace qx {

CodecHooks Codec::defaultHooks;

HelperThread* Codec::helper() {
    if (!splitWork) return nullptr;
    if (!helperThread) helperThread = std::make_unique<HelperThread>();
    return helperThread.get();
}

const char* CodecErrorMessage(int status) {
    switch (status) {
        case kDecodeErr:
            return "Decode Err.";
        case kCodeErr:
            return "Code Err.";
        case kTreeTooLarge:
            return "Tree is too large";
        case kNoMemory:
            return "No memory for file.";
        case kOddMultiplier:
            return "Odd multiplier in Sizes";
        case kSizesChange:
            return "Sizes Change isn't correct";
        case kUnknownFokus:
            return "Unknown Fokus";
        case kMainMemberTooLarge:
            return "Main member is too large";
        case kComprFileErr:
            return "Compr. file Err.";
        case kLowBandTooLarge:
            return "LL-rectangle is too large";
        case kMainCodeErr:
            return "MainCode Err.";
        case kSizeErr:
            return "Size Err.";
        case kMaxThresholdErr:
            return " MaxTheshold Err.";
        default:
            return nullptr;
    }
}

void ResetReaderFields(CodecParameters& params) {
    params.GreyFlag = 0;
    params.ComponentCount = 3;
    params.QualityBase = 10;
    params.LowBandMode = 0;
    params.FirstLevelFilter = 0;
    params.ChromaShift = 1;
    params.ExtraRefinementFlag = 0;
    params.CropFlag = 0;
    params.FocusBorder = 0;
    params.FocusMode = 0;
}

int CompressForPreview(Codec& codec) {
    if (int status = PreparePlanes(codec)) return status;
    if (int status = EncodeCoefficients(codec)) return status;
    // The decoder may read exactly the words the encoder wrote.
    codec.MainCode.limit = codec.MainCodeEnd.index + 1;
    codec.RefineCode.limit = codec.RefineCodeEnd.index + 1;
    DecodeCoefficients(codec);
    // A restored picture that finds no memory says so itself; the compression stands.
    (void)RestorePicture(codec);
    codec.hooks->showRestoredPicture(false);
    return kOk;
}

int CompressForPackage(Codec& codec) {
    if (int status = PreparePlanes(codec)) return status;
    codec.hooks->reportProgress(0);
    if (int status = EncodeCoefficients(codec)) return status;
    codec.hooks->reportProgress(1);
    return kOk;
}

int OpenCompressed(Codec& codec, const ReaderStage& readCompressedFile) {
    if (int status = readCompressedFile(codec)) return status;
    // The reader may have left MainCode arriving from the helper thread, which writes into the
    // codec's and the reader's buffers until it is joined, even when decoding throws.
    struct JoinFeed {
        Codec& codec;
        ~JoinFeed() {
            JoinMainCodeFeed(codec);
            codec.MainCode.feed = nullptr;
        }
    };
    const StreamFeed* feed = codec.MainCode.feed;
    DecodeProblem problem;
    {
        JoinFeed join{codec};
        problem = DecodeCoefficientsQuietly(codec);
    }
    // Words that never came are the reader's failure, whatever the decoder made of the others.
    if (feed != nullptr && feed->failed) {
        codec.hooks->showMessage(CodecErrorMessage(kDecodeErr));
        return feed->failureStatus;
    }
    ShowDecodeProblem(codec, problem);
    // A restored picture that finds no memory says so itself; the file stays open.
    (void)RestorePicture(codec);
    return kOk;
}

}  // namespace qx
