#include "imageio/jpeg_reader.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

#include "container/file_handle.h"

namespace qx {
namespace {

// A JPEG larger than this cannot hold a picture the program accepts.
constexpr int64_t kMaxFileBytes = int64_t{512} << 20;

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

}  // namespace

struct JpegReader::Decoder {
    jpeg_decompress_struct info{};
    ErrorManager err{};
    bool created = false;

    Decoder() {
        info.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = JumpBack;
        err.pub.emit_message = CountWarning;
        err.pub.output_message = PrintNothing;
    }
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&info);
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
    FileHandle file = FileHandle::open(fileName, FileHandle::Mode::ReadOnly);
    if (!file.isOpen()) {
        error_ = "cannot open the file";
        return false;
    }
    const int64_t length = file.length();
    if (length < 0 || length > kMaxFileBytes) {
        error_ = "cannot take the file's length";
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file.readExact(bytes.data(), bytes.size())) {
        error_ = "cannot read the file";
        return false;
    }
    bytes_ = std::move(bytes);
    return parseHeader();
}

bool JpegReader::readHeader(std::span<const uint8_t> bytes) {
    bytes_.assign(bytes.begin(), bytes.end());
    return parseHeader();
}

bool JpegReader::parseHeader() {
    headerRead_ = false;
    width_ = height_ = components_ = 0;
    error_.clear();
    decoder_ = std::make_unique<Decoder>();

    Decoder& d = *decoder_;
    const bool ok = d.guarded([&] {
        jpeg_create_decompress(&d.info);
        d.created = true;
        jpeg_mem_src(&d.info, bytes_.data(), static_cast<unsigned long>(bytes_.size()));
        jpeg_read_header(&d.info, TRUE);
    });
    if (!ok) {
        error_ = d.err.message;
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
    bool sizeChanged = false;
    const bool ok = d.guarded([&] {
        d.info.out_color_space = JCS_RGB;
        d.info.scale_num = 1;
        d.info.scale_denom = 1;
        jpeg_start_decompress(&d.info);
        if (d.info.output_width != static_cast<JDIMENSION>(width_) ||
            d.info.output_height != static_cast<JDIMENSION>(height_) ||
            d.info.output_components != 3) {
            sizeChanged = true;
            jpeg_abort_decompress(&d.info);
            return;
        }
        while (d.info.output_scanline < d.info.output_height) {
            JSAMPROW row = rgb.data() + d.info.output_scanline * rowBytes;
            jpeg_read_scanlines(&d.info, &row, 1);
        }
        jpeg_finish_decompress(&d.info);
    });
    if (!ok) {
        error_ = d.err.message;
        return false;
    }
    if (sizeChanged) {
        error_ = "unexpected output size";
        return false;
    }
    return true;
}

}  // namespace qx
