// A batch's loading of one picture: the follow-up question comes from a table keyed by the
// reader and the kind of failure; the loader holds back the messages the question says again.
#include "app/core/package_load.h"

namespace qx {

namespace {

constexpr const char* kNextFiles = ": Do you want to compress next files?";

}  // namespace

BatchFollowUp FollowUpAfter(PictureReader reader, LoadFailure failure) {
    using F = LoadFailure;
    if (failure == F::MemoryDeclined) return {};
    switch (reader) {
        case PictureReader::Jpeg:
            switch (failure) {
                case F::CannotOpen:
                case F::BadHeader:
                case F::DecoderFailure:
                    return {true, nullptr, ": Open JPEG Err. Do you want to compress next files?"};
                case F::BadLength:
                    return {true, nullptr,
                            ": JPEG File's Length Err. Do you want to compress next files?"};
                case F::NotTrueColour:
                    return {true, nullptr,
                            ": File isn't True Colour (RGB). Do you want to compress next files?"};
                case F::NoPictureMemory:
                    return {true, nullptr, ": 1) No memory for file. Compress next files?"};
                default:
                    return {false, nullptr, kNextFiles};
            }
        case PictureReader::Bmp:
            switch (failure) {
                case F::TooLarge:
                case F::TooSmall:
                    return {false, nullptr, kNextFiles};
                case F::NoPictureMemory:
                    return {true, nullptr, ": 2) No memory for file. Compress next files?"};
                default:
                    return {};
            }
        case PictureReader::Tiff:
        case PictureReader::Unknown:
        // The batch loads by name alone: these two never come back from it.
        case PictureReader::Png:
        case PictureReader::Pnm:
            switch (failure) {
                case F::CannotOpen:
                    return {true, " File Cann't be open.", nullptr};
                case F::BadLength:
                    return {};
                case F::NoPictureMemory:
                    return {true, nullptr, ": 1) No memory for file. Compress next files?"};
                default:
                    return {false, nullptr, ": Compress next files?"};
            }
    }
    return {};
}

BatchStep LoadBatchPicture(Codec& codec, UserDialogs& dialogs, const MemoryStatusSource& memory,
                           const std::string& fullName, const std::string& currentName) {
    const PictureReader reader = ReaderForName(currentName);
    LoadRequest request(fullName);
    request.questionName = currentName;
    request.holds = [reader](LoadFailure failure) { return FollowUpAfter(reader, failure).held; };
    // The batch keeps its own rules: the reader follows the name, as its questions do.
    request.byContent = false;
    const LoadOutcome outcome = LoadPicture(codec, dialogs, request, memory);
    if (outcome.loaded()) return BatchStep::Compress;
    return FollowUpFailedLoad(dialogs, outcome, currentName);
}

BatchStep FollowUpFailedLoad(UserDialogs& dialogs, const LoadOutcome& outcome,
                             const std::string& currentName) {
    const BatchFollowUp next = FollowUpAfter(outcome.reader, outcome.failure);
    if (next.replacement) dialogs.message(next.replacement);
    if (!next.question) return BatchStep::Stop;
    return dialogs.askYesNo(currentName + next.question) == Answer::Yes ? BatchStep::NextFile
                                                                        : BatchStep::Stop;
}

}  // namespace qx
