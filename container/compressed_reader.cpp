// The compressed-file reader.
#include "container/compressed_reader.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <new>
#include <span>

#include "codec/coding_buffers.h"
#include "container/body_layout.h"
#include "container/file_checks.h"

namespace qx {

namespace {

constexpr int kReported = 1;

// Status of a refusal by a size or consistency check: the picture buffer is released and the
// file closed here.
int Refuse(Container& container, Codec& codec, const std::string& message) {
    codec.hooks->showMessage(message);
    codec.state.PictureBuffer.clear();
    codec.state.PictureBuffer.shrink_to_fit();
    container.slot.close();
    return kReported;
}

std::string NotCorrect(const std::string& fileName) {
    return "Compr. File '" + fileName + "' isn't correct.";
}

std::string TitleNotWritten(const std::string& fileName) {
    return "Title of File '" + fileName + "' isn't written.";
}

// The refusal of a title whose body is bodyLength bytes (sizes first, then consistency and body
// size), or an empty text.
std::string TitleRefusal(const FileTitle& title, int64_t bodyLength, int minBandSize,
                         const std::string& fileName) {
    if (title.SourceWidth > kMaxPictureSide) {
        return "(Width=" + std::to_string(title.SourceWidth) +
               ") > (MaxWidth=" + std::to_string(kMaxPictureSide) + ")";
    }
    if (title.SourceLength > kMaxPictureSide) {
        return "(Length=" + std::to_string(title.SourceLength) +
               ") > MaxLength=" + std::to_string(kMaxPictureSide) + ")";
    }
    if (!TitleIsConsistent(title, minBandSize) || !BodySizeFits(title, bodyLength)) {
        return NotCorrect(fileName);
    }
    return {};
}

// Word k of MainCode is bytes 4k ... 4k + 3, least significant first; a partly filled last
// word takes 0 for the missing bytes.
void StoreMainCode(std::span<const uint8_t> bytes, WordStream& stream) {
    for (size_t k = 0; 4 * k < bytes.size(); ++k) {
        uint32_t word = 0;
        for (size_t i = 0; i < 4 && 4 * k + i < bytes.size(); ++i) {
            word |= uint32_t{bytes[4 * k + i]} << (8 * i);
        }
        stream.words[k] = word;
    }
    stream.rewind();
    // Only whole words are readable; the extra 0 byte the packer added is not one.
    stream.limit = static_cast<uint32_t>(bytes.size() / 4);
}

// Bytes unpacked at a time: the decoder hears of them a stretch at a time.
constexpr int64_t kStretchBytes = 4096;

enum class Stretch { kMade, kBusy, kFinished };

// Unpacks the next stretch of MainCode straight into the stream's words (whose bytes, on a
// little-endian processor, are the unpacked bytes in order) and publishes the whole words made
// so far, or at the end how many came and whether all did. kBusy when another thread is at it.
Stretch UnpackStretch(Container::UnpackJob& job) {
    if (job.running.test_and_set(std::memory_order_acquire)) return Stretch::kBusy;
    Stretch made = Stretch::kFinished;
    if (!job.finished) {
        StreamFeed& feed = *job.feed;
        int result = kDecodeErr;
        try {
            result = job.unpacker->run(kStretchBytes);
        } catch (...) {
        }
        if (result == MainCodeUnpacker::kRunning) {
            feed.state.store(static_cast<uint32_t>(job.unpacker->produced() / 4),
                             std::memory_order_release);
            made = Stretch::kMade;
        } else {
            feed.failed = result < 0;
            const uint32_t words = result < 0
                                       ? feed.state.load(std::memory_order_relaxed)
                                       : static_cast<uint32_t>((result - 1) / 4);  // whole words
            feed.state.store(words | StreamFeed::kDone, std::memory_order_release);
            job.finished = true;
        }
        feed.state.notify_all();
    }
    job.running.clear(std::memory_order_release);
    return made;
}

// The helper thread's task: unpacks to the end, taking turns with a decoder that makes a
// stretch itself while it waits.
void RunUnpackJob(void* context) {
    Container::UnpackJob& job = *static_cast<Container::UnpackJob*>(context);
    for (Stretch made; (made = UnpackStretch(job)) != Stretch::kFinished;) {
        if (made == Stretch::kBusy) std::this_thread::yield();
    }
}

// The decoder's turn: true when it made (or ended) a stretch, false when the helper is at it.
bool UnpackStretchHere(void* context) {
    return UnpackStretch(*static_cast<Container::UnpackJob*>(context)) != Stretch::kBusy;
}

// Starts unpacking on the helper thread; false when it cannot, and the caller unpacks.
bool StartUnpackJob(Container& container, Codec& codec, std::span<const uint8_t> packed,
                    size_t pixels) {
    HelperThread* helper = codec.helper();
    WordStream& stream = codec.MainCode;
    if (std::endian::native != std::endian::little || helper == nullptr ||
        4 * stream.words.size() < pixels) {
        return false;
    }
    if (!codec.mainCodeFeed) codec.mainCodeFeed = std::make_unique<StreamFeed>();
    StreamFeed& feed = *codec.mainCodeFeed;
    feed.state.store(0, std::memory_order_relaxed);
    feed.failed = false;
    feed.producer = helper;
    feed.failureStatus = kReported;
    Container::UnpackJob& job = container.unpackJob;
    try {
        job.unpacker.emplace(
            packed, container.cumFreq, static_cast<int>(pixels),
            std::span<uint8_t>(reinterpret_cast<uint8_t*>(stream.words.data()), pixels));
    } catch (const std::bad_alloc&) {
        return false;
    }
    job.feed = &feed;
    job.finished = false;
    job.running.clear();
    feed.makeHere = UnpackStretchHere;
    feed.makeHereContext = &job;
    stream.rewind();
    stream.limit = 0;
    stream.feed = &feed;
    if (helper->post(RunUnpackJob, &container.unpackJob)) return true;
    stream.feed = nullptr;
    return false;
}

// Fills the body buffer with exactly the given number of bytes; false when they cannot be had.
using BodySource = std::function<bool(uint8_t* body, size_t size)>;

int ReadTitleAndBody(Container& container, Codec& codec, const TitleBytes& titleBytes,
                     int64_t bodyLength, const std::string& fileName, const BodySource& readBody,
                     MainCodeReady ready);

}  // namespace

int ReadCompressedFile(Container& container, Codec& codec, const std::string& fileName,
                       MainCodeReady ready) {
    CodecHooks& hooks = *codec.hooks;
    FileHandle& file = container.slot;

    file = FileHandle::open(fileName, FileHandle::Mode::ReadOnly);
    if (!file.isOpen()) {
        hooks.showMessage("Open Err.");
        return kReported;
    }
    const int64_t fileLength = file.length();
    if (fileLength < 0) {
        hooks.showMessage("File's Length Err.");
        return kReported;
    }
    TitleBytes titleBytes{};
    if (file.read(titleBytes.data(), titleBytes.size()) != kTitleSize) {
        hooks.showMessage(TitleNotWritten(fileName));
        return kReported;
    }
    if (!file.seek(kTitleSize)) {
        hooks.showMessage("Lseek Err.");
        return kReported;
    }
    const int64_t bodyLength = fileLength - kTitleSize;
    return ReadTitleAndBody(
        container, codec, titleBytes, bodyLength, fileName,
        [&file](uint8_t* body, size_t size) {
            return file.read(body, size) == static_cast<int64_t>(size);
        },
        ready);
}

namespace {

// Everything after the title bytes and the body length are known, shared by the file and the
// memory reader: the title checks, the memory question, the buffers, the body and MainCode.
int ReadTitleAndBody(Container& container, Codec& codec, const TitleBytes& titleBytes,
                     int64_t bodyLength, const std::string& fileName, const BodySource& readBody,
                     MainCodeReady ready) {
    CodecHooks& hooks = *codec.hooks;
    container.title = ParseTitle(titleBytes.data());
    const FileTitle& title = container.title;
    UnpackTitle(title, codec);

    if (std::string refusal = TitleRefusal(title, bodyLength, codec.params.MinBandSize, fileName);
        !refusal.empty()) {
        return Refuse(container, codec, refusal);
    }

    const int width = codec.state.CodedWidth;
    const int length = codec.state.CodedLength;
    if (hooks.checkFreeMemory(fileName, width, length)) return kMemoryDeclined;

    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(length);
    bool allocated = AllocateCodingBuffers(codec, width, length) == kOk;
    if (allocated) {
        try {
            container.readBody.resize(static_cast<size_t>(bodyLength));
            container.unpacked.resize(pixels);
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        hooks.showMessage(CodecErrorMessage(kNoMemory));
        return kReported;
    }

    if (!readBody(container.readBody.data(), static_cast<size_t>(bodyLength))) {
        hooks.showMessage("Compr. File '" + fileName + "' isn't written.");
        return kReported;
    }

    const BodyLayout layout = LayoutOf(title);
    const std::span<const uint8_t> packed = SplitBody(layout, container.readBody, codec.tables,
                                                      codec.RefineCode.words, container.cumFreq);
    codec.RefineCode.rewind();
    codec.RefineCode.limit = static_cast<uint32_t>(layout.refineWords);
    if (!CumFreqIsValid(container.cumFreq)) return Refuse(container, codec, NotCorrect(fileName));

    codec.MainCode.feed = nullptr;
    if (ready == MainCodeReady::kWhileDecoding && StartUnpackJob(container, codec, packed, pixels))
        return kOk;
    const int unpacked =
        UnpackMainCode(packed, container.cumFreq, static_cast<int>(pixels), container.unpacked);
    if (unpacked < 0) {
        hooks.showMessage(CodecErrorMessage(kDecodeErr));
        return kReported;
    }
    StoreMainCode(
        std::span<const uint8_t>(container.unpacked).first(static_cast<size_t>(unpacked - 1)),
        codec.MainCode);
    return kOk;
}

}  // namespace

int ReadCompressedMemory(Container& container, Codec& codec, std::span<const uint8_t> bytes,
                         const std::string& name, MainCodeReady ready) {
    if (bytes.size() < static_cast<size_t>(kTitleSize)) {
        codec.hooks->showMessage(TitleNotWritten(name));
        return kReported;
    }
    TitleBytes titleBytes{};
    std::copy_n(bytes.begin(), kTitleSize, titleBytes.begin());
    const std::span<const uint8_t> body = bytes.subspan(kTitleSize);
    return ReadTitleAndBody(
        container, codec, titleBytes, static_cast<int64_t>(body.size()), name,
        [body](uint8_t* out, size_t size) {
            std::copy_n(body.begin(), size, out);
            return true;
        },
        ready);
}

std::string CheckCompressedTitle(std::span<const uint8_t> head, int64_t fileLength, int minBandSize,
                                 const std::string& name, FileTitle& title) {
    if (head.size() < static_cast<size_t>(kTitleSize) || fileLength < kTitleSize) {
        return TitleNotWritten(name);
    }
    title = ParseTitle(head.data());
    return TitleRefusal(title, fileLength - kTitleSize, minBandSize, name);
}

int OpenCompressedFile(Container& container, Codec& codec, const std::string& fileName) {
    const int status = OpenCompressed(codec, [&container, &fileName](Codec& c) {
        return ReadCompressedFile(container, c, fileName, MainCodeReady::kWhileDecoding);
    });
    container.slot.close();
    return status;
}

}  // namespace qx
