// Banner decoding through the program's own JPEG reader.
#include "app/banner.h"

#include <QFile>
#include <cstdint>
#include <span>
#include <vector>

#include "imageio/jpeg_reader.h"

namespace qx {

QImage LoadBanner(const QString& name) {
    QFile file(":/banners/" + name + ".jpg");
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    JpegReader reader;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    if (!reader.readHeader(std::span<const uint8_t>(data, static_cast<size_t>(bytes.size())))) {
        return {};
    }
    const int width = reader.width();
    const int height = reader.height();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    if (!reader.decodeRgb(rgb)) return {};
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        std::copy_n(rgb.data() + static_cast<size_t>(y) * width * 3, width * 3, image.scanLine(y));
    }
    return image;
}

}  // namespace qx
