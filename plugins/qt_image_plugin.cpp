// The Qt 6 image plugin for compressed files: recognises them by content, gives the size from the
// title before decoding and reads the restored picture through the container's decode entry.
#include <QtCore/QFileDevice>
#include <QtCore/QFileInfo>
#include <QtCore/QSize>
#include <QtCore/QVariant>
#include <QtGui/QImage>
#include <QtGui/QImageIOHandler>
#include <QtGui/QImageIOPlugin>

#include <cstring>
#include <span>
#include <string>

#include "container/decode_memory.h"

namespace {

std::span<const uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size())};
}

class Qx1Handler : public QImageIOHandler {
  public:
    static bool canRead(QIODevice* device) {
        return device && qx::HasCompressedSignature(Bytes(device->peek(qx::kSignatureLength)));
    }

    bool canRead() const override {
        if (!canRead(device())) return false;
        setFormat("qx1");
        return true;
    }

    bool read(QImage* image) override {
        if (!device()) return false;
        const QByteArray data = device()->read(qx::kMaxCompressedFileLength + 1);
        const qx::MemoryDecodeResult result = qx::DecodeCompressedMemory(Bytes(data), name());
        if (result.status != qx::MemoryDecodeStatus::Ok) return false;
        const qx::RestoredRgb& picture = result.picture;
        QImage out(picture.width, picture.length, QImage::Format_RGB888);
        if (out.isNull()) return false;
        const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
        for (int y = 0; y < picture.length; ++y) {
            std::memcpy(out.scanLine(y), picture.rgb.data() + y * rowBytes, rowBytes);
        }
        *image = std::move(out);
        return true;
    }

    bool supportsOption(ImageOption option) const override {
        return option == Size || option == ImageFormat;
    }

    // The size comes from the title and the device's length, checked as the reader checks them
    // before it reads the body; nothing is decoded.
    QVariant option(ImageOption option) const override {
        if (option == ImageFormat) return QImage::Format_RGB888;
        if (option != Size || !device() || device()->isSequential()) return {};
        const QByteArray head = device()->peek(64);
        const int64_t length = device()->size() - device()->pos();
        const qx::CompressedSize size = qx::QueryCompressedSize(Bytes(head), length, name());
        if (size.status != qx::MemoryDecodeStatus::Ok) return {};
        return QSize(size.width, size.length);
    }

  private:
    // The file's name for the reader's messages, when the device is a file.
    std::string name() const {
        const auto* file = qobject_cast<const QFileDevice*>(device());
        return file ? QFileInfo(file->fileName()).fileName().toStdString() : std::string("image");
    }
};

}  // namespace

class Qx1ImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "qx1.json")

  public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
        if (format == "qx1") return CanRead;
        if (!format.isEmpty() || !device || !device->isOpen()) return {};
        return Qx1Handler::canRead(device) ? Capabilities(CanRead) : Capabilities();
    }

    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
        auto* handler = new Qx1Handler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("qx1") : format);
        return handler;
    }
};

#include "qt_image_plugin.moc"
