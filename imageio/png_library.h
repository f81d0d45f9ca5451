// libspng's entry points, loaded when a PNG is first read or written (see
// base/shared_library.h).
#pragma once

#include <spng.h>

#include "base/shared_library.h"

namespace qx {

static_assert(SPNG_VERSION_MAJOR == 0, "the soname below is that of libspng 0.x");

#define QX_PNG_FUNCTIONS(X)  \
    X(spng_ctx_new)          \
    X(spng_ctx_free)         \
    X(spng_set_png_buffer)   \
    X(spng_set_png_stream)   \
    X(spng_set_image_limits) \
    X(spng_set_chunk_limits) \
    X(spng_get_ihdr)         \
    X(spng_get_trns)         \
    X(spng_decode_image)     \
    X(spng_set_option)       \
    X(spng_set_ihdr)         \
    X(spng_encode_image)     \
    X(spng_get_png_buffer)   \
    X(spng_strerror)

struct PngLibrary {
    SharedLibrary library{"libspng.so.0"};
    QX_PNG_FUNCTIONS(QX_LIBRARY_MEMBER)
    bool ready = library.isOpen() QX_PNG_FUNCTIONS(QX_LIBRARY_BIND);
};

}  // namespace qx
