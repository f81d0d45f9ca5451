// libjpeg's entry points, loaded when a JPEG is first read (see base/shared_library.h).
#pragma once

#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

#include "base/shared_library.h"

namespace qx {

// 62 is the libjpeg 6b interface the reader is written for, and the soname's number.
static_assert(JPEG_LIB_VERSION == 62, "the reader expects the libjpeg 6b interface");

#define QX_JPEG_FUNCTIONS(X)   \
    X(jpeg_std_error)          \
    X(jpeg_CreateDecompress)   \
    X(jpeg_destroy_decompress) \
    X(jpeg_mem_src)            \
    X(jpeg_read_header)        \
    X(jpeg_start_decompress)   \
    X(jpeg_read_scanlines)     \
    X(jpeg_finish_decompress)  \
    X(jpeg_abort_decompress)   \
    X(jpeg_resync_to_restart)

struct JpegLibrary {
    SharedLibrary library{"libjpeg.so.62"};
    QX_JPEG_FUNCTIONS(QX_LIBRARY_MEMBER)
    bool ready = library.isOpen() QX_JPEG_FUNCTIONS(QX_LIBRARY_BIND);
};

}  // namespace qx
