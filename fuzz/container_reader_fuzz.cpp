// Feeds arbitrary bytes through the whole compressed-file path: the reader, then, when it
// accepts the file, the decoder and the restoration, as a decompression runs them.
//
// Seed corpus: fuzz/make-seed-corpus DIR copies the reference files of
// tests/data/conformance into DIR; then run  container_reader_fuzz DIR.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/file_handle.h"
#include "codec/codec.h"
#include "container/compressed_reader.h"

namespace {

// The reader takes a file name, so every input is written to one temporary file per process.
const std::string& InputPath() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base ? base : "/tmp") + "/qx1-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) std::abort();
        ::close(fd);
        return pattern;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = InputPath();
    {
        qx::FileHandle file = qx::FileHandle::open(path, qx::FileHandle::Mode::Truncate);
        if (!file.writeAll(data, size)) std::abort();
    }
    qx::Codec codec;  // silent default hooks
    qx::Container container;
    // Reads, decodes (MainCode arriving from the helper thread meanwhile) and restores; any
    // status will do, it must not crash.
    (void)qx::OpenCompressedFile(container, codec, path);
    return 0;
}
