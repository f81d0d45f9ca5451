// The codec's records, its status codes, the hooks through which it talks to its caller, and the
// three drivers that run the stages of a compression or a decompression.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codec/buffer.h"
#include "codec/split_work.h"
#include "codec/wavelet.h"

namespace qx {

// Status values of the engine; 0 is success. Readers add 96 (declined memory question) and 1
// ("already reported"), which have no message of their own.
enum CodecError : int {
    kDecodeErr = -10,
    kCodeErr = -9,
    kTreeTooLarge = -6,
    kOk = 0,
    kNoMemory = 1,
    kOddMultiplier = 2,
    kSizesChange = 3,
    kUnknownFokus = 4,
    kMainMemberTooLarge = 5,
    kComprFileErr = 6,
    kLowBandTooLarge = 7,
    kMainCodeErr = 8,
    kSizeErr = 9,
    kMaxThresholdErr = 255,
    kMemoryDeclined = 96,
};

// The fixed text shown for a status, or nullptr when the status has none.
const char* CodecErrorMessage(int status);

// Everything the engine asks of its caller. The defaults do nothing, answer "go on", and so let
// the engine run with no caller at all.
class CodecHooks {
  public:
    virtual ~CodecHooks() = default;
    virtual void showMessage(const std::string& /*text*/) {}
    // Phase 0 after the planes are prepared, phase 1 after encoding (package driver only).
    virtual void reportProgress(int /*phase*/) {}
    virtual void showRestoredPicture(bool /*wide*/) {}
    // Returns true when the user declined to go on with little free memory.
    virtual bool checkFreeMemory(const std::string& /*name*/, int /*width*/, int /*length*/) {
        return false;
    }
};

// Words that another thread is still storing into a stream while it is read.
struct StreamFeed {
    static constexpr uint32_t kDone = 1u << 31;
    // The whole words stored so far, which may be read, with kDone set once no more come.
    std::atomic<uint32_t> state{0};
    bool failed = false;               // written before kDone is set: the rest never comes
    HelperThread* producer = nullptr;  // the thread storing the words, until joined
    int failureStatus = 0;             // what the reader returns when the words do not all come
    // Makes the next words on the calling thread unless the producer is making them; false
    // when it is. Lets a reader that waits work instead.
    bool (*makeHere)(void* context) = nullptr;
    void* makeHereContext = nullptr;
};

// A stream of 32-bit words filled from the most significant bit down.
struct WordStream {
    Buffer<uint32_t> words;
    uint32_t index = 0;  // current word
    uint32_t used = 0;   // bits already used in it (0 ... 31)
    // Writing: the highest word index the stream may move to. Reading: the number of stored
    // words; a read that would need a word at or past it fails.
    uint32_t limit = 0;
    bool failed = false;
    // Reading only: where more words are still arriving, if anywhere.
    StreamFeed* feed = nullptr;

    void rewind() {
        index = 0;
        used = 0;
        failed = false;
    }
};

struct CodecParameters {
    int8_t ComponentCount = 3;
    uint8_t GreyFlag = 0;
    uint8_t QualityBase = 10;
    uint8_t FocusMode = 0;
    uint8_t LowBandMode = 0;
    uint8_t CompressionMode = 0;
    uint8_t FirstLevelFilter = 0;
    uint8_t ChromaShift = 1;
    uint8_t ExtraRefinementFlag = 0;
    uint8_t CropFlag = 0;
    int8_t ExtraPassMinMean = 20;
    int16_t MinBandSize = 4;
    int16_t Quality = 0;
    int16_t FocusBorder = 0;
    std::array<uint16_t, 10> FloorTable{18, 22, 30, 34, 36, 38, 40, 44, 50, 56};
    uint8_t ReferenceChannel = 0;
    uint8_t ToneSelect = 0;
    std::array<int32_t, 3> ChannelActivity{};
};

// Loading a picture returns the fields that only the compressed-file reader writes to their
// initial values, so a picture compressed after opening a grey file is coded in colour.
void ResetReaderFields(CodecParameters& params);

// Sides a picture may have: every reader refuses others, and only these can be normalised.
constexpr int kMinPictureSide = 33;
constexpr int kMaxPictureSide = 1024;

// What CodecState::RestoredPictureKind says of the restored picture in WorkBuffer.
constexpr int kRestoredGrey = 3;  // one sample per pixel
constexpr int kRestoredRgb = 5;   // red, green, blue

struct CodecState {
    int16_t Width = 0;
    int16_t Length = 0;
    int16_t SourceWidth = 0;
    int16_t SourceLength = 0;
    int16_t CodedWidth = 0;
    int16_t CodedLength = 0;
    // RGB picture handed over by the caller; PreparePlanes consumes it.
    Buffer<uint8_t> PictureBuffer;
    // The normalised RGB picture while preparing; the restored picture afterwards.
    Buffer<uint8_t> WorkBuffer;
    // The second picture block that resampling writes into before the two are exchanged.
    Buffer<uint8_t> OtherBlock;
    // Luma and the two chroma planes at PlaneOffset, two samples a pixel; past the planes, the
    // room the wavelet's strips and the decoder's marks take in turn.
    Buffer<int16_t> PlaneBuffer;
    std::array<int32_t, 3> PlaneOffset{};
    Buffer<int16_t> LumaScratch;
    std::array<int32_t, 4> FocusRect{};  // x, y, width, length
    uint8_t CodecStatus = 0;
    uint8_t RestoredPictureKind = 0;
};

constexpr int kTreesPerComponent = 1024;

// Side information of the coefficient coder: written by the encoder, stored by the container,
// read back by the decoder.
struct CoefficientTables {
    std::array<uint8_t, 3 * kTreesPerComponent> LowBandCodes{};
    std::array<uint16_t, 3 * kTreesPerComponent> MaxThresholds{};
    uint8_t ThresholdScaleFlags = 0;
    // Two rows of 1024: row 0 the level-1 blocks, row 1 the level-2 blocks.
    std::array<uint16_t, 2 * kTreesPerComponent> BlockMeans{};
    std::array<uint16_t, 2 * kTreesPerComponent> BlockPeaks{};
    std::array<uint16_t, 2 * kTreesPerComponent> BlockDeviations{};
    std::array<int16_t, 3> LevelCount{};
    std::array<int32_t, 3> LevelOffset{128, 0, 0};
    int16_t LowBandWidth = 0;
    int16_t LowBandHeight = 0;
    // Band size at the last decomposition level (2 x the low band); starts the inverse.
    int16_t LastLevelWidth = 0;
    int16_t LastLevelHeight = 0;
};

// Where the encoder stopped writing a stream: the container stores words 0 ... index.
struct StreamEnd {
    uint32_t index = 0;
    uint32_t used = 0;
};

// One codec instance: the records and every working buffer, kept from picture to picture.
struct Codec {
    CodecState state;
    CodecParameters params;
    CoefficientTables tables;
    Buffer<int32_t> CoefficientPlane;
    // How many leading entries of the coefficient plane and of the decoder's marks (in the
    // planes' block, see DecoderMarks) are zero; only the decoder relies on it, and every other
    // writer sets it to 0.
    size_t ZeroedCount = 0;
    // The coefficient plane's pages went back to the picture block (HandBackPicturePages): its
    // range reads as zero until the next preparation gives it the picture's pages again.
    bool coefficientPagesLent = false;
    WordStream MainCode;
    WordStream RefineCode;
    // The encoder codes the second half of a component's trees on a helper thread into these,
    // then appends them to the two streams above.
    WordStream SideMainCode;
    WordStream SideRefineCode;
    StreamEnd MainCodeEnd;
    StreamEnd RefineCodeEnd;
    WaveletScratch wavelet;
    CodecHooks* hooks = &defaultHooks;
    // Large stages share their work with one helper thread, started on first use and kept from
    // picture to picture. A caller that already runs one codec per core turns this off.
    bool splitWork = true;
    // The reader's feed of MainCode words when it unpacks them while the decoder reads; declared
    // before the helper thread, which is joined first.
    std::unique_ptr<StreamFeed> mainCodeFeed;
    std::unique_ptr<HelperThread> helperThread;

    // The helper thread, or nullptr when splitWork is off.
    HelperThread* helper();

    static CodecHooks defaultHooks;
};

// Stage signature used to hand the compressed-file reader to OpenCompressed.
using ReaderStage = std::function<int(Codec&)>;

// Drivers. Each returns 0 or the first non-zero status of its stages.
[[nodiscard]] int CompressForPreview(Codec& codec);
[[nodiscard]] int CompressForPackage(Codec& codec);
[[nodiscard]] int OpenCompressed(Codec& codec, const ReaderStage& readCompressedFile);

// For a caller that encodes one picture after another and keeps nothing of the last one once its
// file is built: the pages the coefficients took from the picture block go back to it, and it
// becomes the block the next picture is decoded into. A batch then keeps one picture block and
// the planes' block in memory instead of two picture blocks, the planes and the coefficients,
// and the kernel clears half as many new pages per worker.
void HandBackPicturePages(Codec& codec);

// Stages.
[[nodiscard]] int PreparePlanes(Codec& codec);
[[nodiscard]] int EncodeCoefficients(Codec& codec);
// Damage in the streams is reported by message and leaves the rest of the planes zero.
void DecodeCoefficients(Codec& codec);
// What went wrong in a decode, shown by ShowDecodeProblem.
enum class DecodeProblem { kNone, kQualityBelowZero, kInvalidCode };
// DecodeCoefficients without the message.
DecodeProblem DecodeCoefficientsQuietly(Codec& codec);
void ShowDecodeProblem(Codec& codec, DecodeProblem problem);
// Waits until the words of a feed into MainCode have all arrived (or failed to) and the thread
// storing them is free again; nothing when there is no such feed.
void JoinMainCodeFeed(Codec& codec);
[[nodiscard]] int RestorePicture(Codec& codec);

}  // namespace qx
