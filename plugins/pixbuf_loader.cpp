// The gdk-pixbuf loader for compressed files: gathers the bytes, decodes them at the end through
// the container's decode-from-memory entry and hands over one finished RGB picture.
#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "codec/codec.h"
#include "container/decode_memory.h"

namespace {

// Stands for the file name in the reader's messages: the loader never learns it.
constexpr const char* kPictureName = "image";

// The fixed title bytes in gdk-pixbuf's pattern notation: mask ' ' matches the prefix byte, 'z'
// a zero byte, 'x' anything (the prefix holds a placeholder there, as it cannot hold a 0).
struct PixbufSignature {
    std::array<char, qx::kSignatureLength + 1> prefix{};
    std::array<char, qx::kSignatureLength + 1> mask{};
};

constexpr PixbufSignature MakePixbufSignature() {
    PixbufSignature s;
    for (size_t i = 0; i < qx::kSignatureLength; ++i) s.prefix[i] = s.mask[i] = 'x';
    for (const qx::FixedByte& fixed : qx::kFixedTitleBytes) {
        s.prefix[fixed.offset] = fixed.value == 0 ? 'z' : static_cast<char>(fixed.value);
        s.mask[fixed.offset] = fixed.value == 0 ? 'z' : ' ';
    }
    return s;
}

struct LoadContext {
    GdkPixbufModuleSizeFunc sizeFunc = nullptr;
    GdkPixbufModulePreparedFunc preparedFunc = nullptr;
    GdkPixbufModuleUpdatedFunc updatedFunc = nullptr;
    gpointer userData = nullptr;
    std::vector<uint8_t> bytes;  // at most one byte more than any accepted file
};

void SetError(GError** error, const std::string& message) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, message.c_str());
}

void NoMemory(GError** error) {
    g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                        qx::CodecErrorMessage(qx::kNoMemory));
}

bool Gather(LoadContext& context, const guchar* data, size_t size, GError** error) {
    constexpr size_t kKept = qx::kMaxCompressedFileLength + 1;
    const size_t room = kKept - std::min(context.bytes.size(), kKept);
    try {
        context.bytes.insert(context.bytes.end(), data, data + std::min(size, room));
    } catch (const std::bad_alloc&) {
        NoMemory(error);
        return false;
    }
    return true;
}

GdkPixbuf* ToPixbuf(const qx::RestoredRgb& picture, GError** error) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, picture.width, picture.length);
    if (!pixbuf) {
        NoMemory(error);
        return nullptr;
    }
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
    for (int y = 0; y < picture.length; ++y) {
        std::copy_n(picture.rgb.data() + y * rowBytes, rowBytes,
                    pixels + static_cast<size_t>(y) * stride);
    }
    return pixbuf;
}

// Size first (the caller may ask to stop there), then the decoded picture, whole.
gboolean Finish(LoadContext& context, GError** error) {
    const std::span<const uint8_t> bytes(context.bytes);
    const qx::CompressedSize size =
        qx::QueryCompressedSize(bytes, static_cast<int64_t>(bytes.size()), kPictureName);
    if (size.status != qx::MemoryDecodeStatus::Ok) {
        SetError(error, size.message);
        return FALSE;
    }
    int width = size.width, length = size.length;
    if (context.sizeFunc) {
        context.sizeFunc(&width, &length, context.userData);
        if (width == 0 || length == 0) return TRUE;
    }
    const qx::MemoryDecodeResult result = qx::DecodeCompressedMemory(bytes, kPictureName);
    if (result.status != qx::MemoryDecodeStatus::Ok) {
        SetError(error, result.message);
        return FALSE;
    }
    GdkPixbuf* pixbuf = ToPixbuf(result.picture, error);
    if (!pixbuf) return FALSE;
    if (context.preparedFunc) context.preparedFunc(pixbuf, nullptr, context.userData);
    if (context.updatedFunc) {
        context.updatedFunc(pixbuf, 0, 0, result.picture.width, result.picture.length,
                            context.userData);
    }
    g_object_unref(pixbuf);
    return TRUE;
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error) {
    auto* context =
        new (std::nothrow) LoadContext{sizeFunc, preparedFunc, updatedFunc, userData, {}};
    if (!context) NoMemory(error);
    return context;
}

gboolean LoadIncrement(gpointer data, const guchar* buffer, guint size, GError** error) {
    return Gather(*static_cast<LoadContext*>(data), buffer, size, error) ? TRUE : FALSE;
}

gboolean StopLoad(gpointer data, GError** error) {
    auto* context = static_cast<LoadContext*>(data);
    const gboolean ok = Finish(*context, error);
    delete context;
    return ok;
}

GdkPixbuf* Load(FILE* file, GError** error) {
    LoadContext context;
    guchar chunk[65536];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (!Gather(context, chunk, count, error)) return nullptr;
    }
    if (std::ferror(file)) {
        g_set_error_literal(error, G_FILE_ERROR, G_FILE_ERROR_IO, "Read Err.");
        return nullptr;
    }
    GdkPixbuf* pixbuf = nullptr;
    context.preparedFunc = [](GdkPixbuf* prepared, GdkPixbufAnimation*, gpointer out) {
        *static_cast<GdkPixbuf**>(out) = GDK_PIXBUF(g_object_ref(prepared));
    };
    context.userData = &pixbuf;
    if (!Finish(context, error)) return nullptr;
    return pixbuf;
}

}  // namespace

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
    module->begin_load = BeginLoad;
    module->load_increment = LoadIncrement;
    module->stop_load = StopLoad;
    module->load = Load;
}

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) {
    static constexpr PixbufSignature signature = MakePixbufSignature();
    static GdkPixbufModulePattern patterns[] = {
        {const_cast<gchar*>(signature.prefix.data()), const_cast<gchar*>(signature.mask.data()),
         100},
        {nullptr, nullptr, 0},
    };
    static const gchar* mimeTypes[] = {"image/x-qx1", nullptr};
    static const gchar* extensions[] = {"qx1", nullptr};
    info->name = const_cast<gchar*>("qx1");
    info->signature = patterns;
    info->description = const_cast<gchar*>("QX compressed picture");
    info->mime_types = const_cast<gchar**>(mimeTypes);
    info->extensions = const_cast<gchar**>(extensions);
    info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
}

}  // extern "C"
