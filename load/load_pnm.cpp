// Loading a portable pixmap or graymap: the header from the file's head, the size and the
// file's length checked, then the samples read and scaled to 8 bits.
#include <algorithm>
#include <new>
#include <vector>

#include "base/file_handle.h"
#include "imageio/file_stretches.h"
#include "imageio/pnm_reader.h"
#include "load/load_steps.h"

namespace qx {

namespace {

std::string PnmError(const std::string& why) {
    return "Open PNM Err. (" + why + ")";
}

const char* PnmReason(PnmStatus status) {
    switch (status) {
        case PnmStatus::Ok:
            break;
        case PnmStatus::NotPnm:
        case PnmStatus::BadHeader:
            return "the header is damaged";
        case PnmStatus::Truncated:
            return "the file is cut short";
        case PnmStatus::BadSample:
            return "a sample is not a number";
    }
    return "";
}

}  // namespace

bool LoadPnm(LoadContext& context) {
    FileHandle file = FileHandle::open(context.name, FileHandle::Mode::ReadOnly);
    if (!file.isOpen())
        return context.fail(LoadFailure::CannotOpen, PnmError("the file cannot be opened"));
    const int64_t fileLength = file.length();
    if (fileLength < 0)
        return context.fail(LoadFailure::BadLength, PnmError("the file's length is unknown"));
    std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(fileLength, kMaxPnmHeadBytes)));
    PnmHeader header;
    if (!file.readExact(head.data(), head.size()))
        return context.fail(LoadFailure::CannotOpen, PnmError("the file cannot be read"));
    if (const PnmStatus status = ParsePnmHeader(head, header); status != PnmStatus::Ok)
        return context.fail(LoadFailure::BadHeader, PnmError(PnmReason(status)));
    // The samples must fit in what the file holds before anything is allocated for them.
    const int64_t rest = fileLength - static_cast<int64_t>(header.rasterOffset);
    if (header.rasterBytes() > rest)
        return context.fail(LoadFailure::BadHeader, PnmError(PnmReason(PnmStatus::Truncated)));

    const int width = header.width;
    const int length = header.height;
    if (!PrepareRgbLoad(context, width, length)) return false;
    auto truncated = [&] {
        return context.fail(LoadFailure::DecoderFailure, PnmError(PnmReason(PnmStatus::Truncated)));
    };
    // Binary 8-bit RGB samples are the picture's bytes already: they go straight into place.
    if (header.kind == 6 && header.maxValue == 255) {
        const FileStretch samples{static_cast<int64_t>(header.rasterOffset),
                                  static_cast<size_t>(header.rasterBytes()),
                                  context.loadBuffer.data()};
        if (context.loadBuffer.size() < samples.size ||
            !ReadStretches(file, {&samples, 1}, context.codec.helper()))
            return truncated();
        return true;
    }
    // Plain samples take a few characters each; a file padded far beyond that is read only as
    // far as the samples can reach.
    const int64_t samples = int64_t{width} * length * header.channels();
    const int64_t wanted =
        header.plain() ? std::min(rest, samples * 24 + 4096) : header.rasterBytes();
    std::vector<uint8_t> raster;
    try {
        raster.resize(static_cast<size_t>(wanted));
    } catch (const std::bad_alloc&) {
        return context.fail(LoadFailure::NoLoadMemory, " 3) There is no memory for file.");
    }
    if (!file.seek(static_cast<int64_t>(header.rasterOffset)) ||
        !file.readExact(raster.data(), raster.size()))
        return truncated();
    if (const PnmStatus status = DecodePnm(header, raster, context.loadBuffer);
        status != PnmStatus::Ok)
        return context.fail(LoadFailure::DecoderFailure, PnmError(PnmReason(status)));
    return true;
}

}  // namespace qx
