#include "imageio/jpeg_reader.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>

#include "base/file_handle.h"
#include "imageio/jpeg_library.h"

#include <jerror.h>

namespace qx {
namespace {

constexpr int64_t kMaxFileBytes = kMaxPictureFileBytes;

// Real progressive files have about ten scans (the usual scripts) and hand-made ones a few
// dozen. Each scan costs a pass over the whole coefficient buffer, so a file of a million tiny
// scans decodes for minutes; far beyond this count the file is refused as damaged.
constexpr int kMaxScans = 1000;

// The file is read through a buffer of this size instead of all at once.
constexpr size_t kReadBufferBytes = 64 * 1024;

// libjpeg's error manager, extended by the place to jump back to. `pub` must stay first:
// libjpeg hands the callbacks a pointer to it.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
};

[[noreturn]] void JumpBack(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Level -1 is a warning (corrupt data and the like); higher levels are trace output.
void CountWarning(j_common_ptr info, int level) {
    if (level < 0) ++reinterpret_cast<ErrorManager*>(info->err)->warnings;
}

void PrintNothing(j_common_ptr) {}

// Leaves a decode whose scan count passes kMaxScans through the ordinary error path.
void LimitScans(j_common_ptr info) {
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", kMaxScans);
        std::longjmp(err->jump, 1);
    }
}

// A libjpeg data source that reads the file a buffer at a time. `pub` must stay first.
struct FileSource {
    jpeg_source_mgr pub;
    FileHandle* file;
    uint8_t* buffer;
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<FileSource*>(info->src);
    const int64_t got = source->file->read(source->buffer, kReadBufferBytes);
    if (got < 0) ERREXIT(info, JERR_FILE_READ);
    if (got == 0) {
        // A truncated file: warn (counted as damage) and end it with an EOI marker, as libjpeg's
        // own sources do, so that what was read is still decoded.
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        source->pub.next_input_byte = source->buffer;
        source->pub.bytes_in_buffer = 2;
        return TRUE;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    jpeg_source_mgr* pub = info->src;
    while (count > 0) {
        if (pub->bytes_in_buffer == 0) (*pub->fill_input_buffer)(info);
        const size_t step = std::min(pub->bytes_in_buffer, static_cast<size_t>(count));
        pub->next_input_byte += step;
        pub->bytes_in_buffer -= step;
        count -= static_cast<long>(step);
    }
}

}  // namespace

struct JpegReader::Decoder {
    JpegLibrary jpeg;
    jpeg_decompress_struct info{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    FileHandle file;
    FileSource source{};
    std::vector<uint8_t> buffer;
    bool created = false;

    Decoder() {
        if (!jpeg.ready) return;
        info.err = jpeg.jpeg_std_error(&err.pub);
        err.pub.error_exit = JumpBack;
        err.pub.emit_message = CountWarning;
        err.pub.output_message = PrintNothing;
        progress.progress_monitor = LimitScans;
    }

    // Installs the streaming source over `file`; called inside guarded() after creation.
    void useFile() {
        source.pub.init_source = InitSource;
        source.pub.fill_input_buffer = FillInputBuffer;
        source.pub.skip_input_data = SkipInputData;
        source.pub.resync_to_restart = jpeg.jpeg_resync_to_restart;
        source.pub.term_source = TermSource;
        source.file = &file;
        source.buffer = buffer.data();
        info.src = &source.pub;
    }
    ~Decoder() {
        if (created) jpeg.jpeg_destroy_decompress(&info);
    }

    // Runs libjpeg calls; a fatal error inside them lands back here and gives false. `work`
    // must create no object with a destructor, since a jump passes over its frame.
    template <typename Work>
    bool guarded(Work&& work) {
        if (setjmp(err.jump) != 0) return false;
        work();
        return true;
    }
};

JpegReader::JpegReader() = default;
JpegReader::~JpegReader() = default;

int JpegReader::warnings() const {
    return decoder_ ? decoder_->err.warnings : 0;
}

bool JpegReader::readHeader(const std::string& fileName) {
    bytes_.clear();
    outOfMemory_ = false;
    try {
        auto decoder = std::make_unique<Decoder>();
        decoder->file = FileHandle::openInput(fileName);
        if (!decoder->file.isOpen()) {
            error_ = "cannot open the file";
            return false;
        }
        const int64_t length = decoder->file.length();
        if (length < 0 || length > kMaxFileBytes) {
            error_ = "cannot take the file's length";
            return false;
        }
        decoder->buffer.resize(kReadBufferBytes);
        decoder_ = std::move(decoder);
    } catch (const std::bad_alloc&) {
        error_ = "no memory";
        outOfMemory_ = true;
        return false;
    }
    return parseHeader(true);
}

bool JpegReader::readHeader(std::span<const uint8_t> bytes) {
    outOfMemory_ = false;
    try {
        bytes_.assign(bytes.begin(), bytes.end());
        decoder_ = std::make_unique<Decoder>();
    } catch (const std::bad_alloc&) {
        error_ = "no memory";
        outOfMemory_ = true;
        return false;
    }
    return parseHeader(false);
}

bool JpegReader::parseHeader(bool fromFile) {
    headerRead_ = false;
    width_ = height_ = components_ = 0;
    error_.clear();

    Decoder& d = *decoder_;
    if (!d.jpeg.ready) {
        error_ = d.jpeg.library.error();
        return false;
    }
    const JpegLibrary& jpeg = d.jpeg;
    const bool ok = d.guarded([&] {
        jpeg.jpeg_CreateDecompress(&d.info, JPEG_LIB_VERSION, sizeof d.info);
        d.created = true;
        d.info.progress = &d.progress;
        if (fromFile) {
            d.useFile();
        } else {
            jpeg.jpeg_mem_src(&d.info, bytes_.data(), static_cast<unsigned long>(bytes_.size()));
        }
        jpeg.jpeg_read_header(&d.info, TRUE);
    });
    if (!ok) {
        error_ = d.err.message;
        outOfMemory_ = d.err.pub.msg_code == JERR_OUT_OF_MEMORY;
        return false;
    }
    width_ = static_cast<int>(d.info.image_width);
    height_ = static_cast<int>(d.info.image_height);
    components_ = d.info.num_components;
    headerRead_ = true;
    return true;
}

bool JpegReader::decodeRgb(std::span<uint8_t> rgb) {
    if (!headerRead_) {
        error_ = "no header has been read";
        return false;
    }
    headerRead_ = false;  // one decode per header
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    if (rowBytes == 0 || rgb.size() / rowBytes < static_cast<size_t>(height_)) {
        error_ = "the picture does not fit the buffer";
        return false;
    }
    Decoder& d = *decoder_;
    const JpegLibrary& jpeg = d.jpeg;
    bool sizeChanged = false;
    const bool ok = d.guarded([&] {
        d.info.out_color_space = JCS_RGB;
        d.info.scale_num = 1;
        d.info.scale_denom = 1;
        jpeg.jpeg_start_decompress(&d.info);
        if (d.info.output_width != static_cast<JDIMENSION>(width_) ||
            d.info.output_height != static_cast<JDIMENSION>(height_) ||
            d.info.output_components != 3) {
            sizeChanged = true;
            jpeg.jpeg_abort_decompress(&d.info);
            return;
        }
        while (d.info.output_scanline < d.info.output_height) {
            JSAMPROW row = rgb.data() + d.info.output_scanline * rowBytes;
            jpeg.jpeg_read_scanlines(&d.info, &row, 1);
        }
        jpeg.jpeg_finish_decompress(&d.info);
    });
    if (!ok) {
        error_ = d.err.message;
        outOfMemory_ = d.err.pub.msg_code == JERR_OUT_OF_MEMORY;
        return false;
    }
    if (sizeChanged) {
        error_ = "unexpected output size";
        return false;
    }
    return true;
}

}  // namespace qx
