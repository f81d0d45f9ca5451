// The compressed-file container: the title, the built file image (title and body kept
// together), the packer's working buffers and the open compressed file, with the routines that
// build and write a compressed file and open files for the readers and writers.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/file_handle.h"
#include "base/safe_write.h"
#include "codec/buffer.h"
#include "codec/codec.h"
#include "container/file_title.h"
#include "container/main_code_packer.h"

namespace qx {

struct Container {
    // The title of the last build or read.
    FileTitle title;
    // The 52 title bytes followed by the body, as the last successful build left them; empty
    // when no compressed picture exists. Writers write exactly these bytes.
    std::vector<uint8_t> image;
    // Model of the packer (after a build) or of the unpacker (after a read).
    CumFreqTable cumFreq;
    // Working buffers, grown as needed and kept between pictures.
    // The MainCode bytes on a big-endian processor; others pack the words where they lie.
    std::vector<uint8_t> packerInput;
    // The reader's: the body is read whole into readBody, and only the bytes the unpacker
    // produces are used from unpacked, so neither is zero-filled as it grows.
    Buffer<uint8_t> readBody;
    Buffer<uint8_t> unpacked;
    // MainCode unpacking on the codec's helper thread while the decoder reads it. The decoder
    // makes the next stretch itself when it is waiting and the helper thread is not at it.
    struct UnpackJob {
        UnpackJob() = default;
        // Nothing runs while a container moves, and the unpacker refers to the container it was
        // made in: a moved job is an empty one.
        UnpackJob(UnpackJob&&) noexcept {}
        UnpackJob& operator=(UnpackJob&&) noexcept {
            unpacker.reset();
            feed = nullptr;
            finished = false;
            return *this;
        }

        std::optional<MainCodeUnpacker> unpacker;
        StreamFeed* feed = nullptr;
        std::atomic_flag running;  // held by the thread unpacking a stretch
        bool finished = false;     // under running
    } unpackJob;
    // The compressed file the reader opened; the caller closes it after the read.
    FileHandle slot;

    int64_t bodyLength() const {
        return image.size() > static_cast<size_t>(kTitleSize)
                   ? static_cast<int64_t>(image.size()) - kTitleSize
                   : 0;
    }
};

// Packs MainCode and lays out title and body from the codec state of the encoding that just
// finished (the encoder's MainCodeEnd and RefineCodeEnd give the stream lengths). Returns the
// body length, or kCodeErr when packing overflows, when the body would be larger than the reader
// accepts (coded width x coded length + 65536 bytes), or when memory runs out; then no image is
// left.
[[nodiscard]] int BuildCompressedImage(Container& container, const Codec& codec,
                                       uint32_t compressionTime);

// Writes the built image to the named file through a temporary file in its directory, which
// takes the name only when complete (see SafeWrite). Returns 0; 1 after "Lseek Err." (the
// output cannot be made or claimed: read-only, not a regular file, existing without
// rules.replace), "Write 1 Err." or "Write 2 Err."; 9 after "Size Err."; 6 after "Compr. file
// Err." when nothing has been built. On failure errno holds the reason, and nothing but the
// temporary file has been touched.
int WriteCompressedFile(Container& container, CodecHooks& hooks, const std::string& fileName,
                        const OutputRules& rules = {});

// WriteCompressedFile into an output made beforehand (it may have been made on another thread
// while the image was built); result, when given, takes the outcome.
int WriteCompressedFile(Container& container, CodecHooks& hooks, SafeWrite& output,
                        WriteResult* result = nullptr);

// Writes the built image to fileName as WriteCompressedFile does, silently: the outcome says what
// failed. An empty image counts as a failed write.
WriteResult WriteCompressedImage(const Container& container, const std::string& fileName,
                                 bool replace);

}  // namespace qx
