// The banner pictures shipped inside the program, decoded from memory.
#pragma once

#include <QImage>
#include <QString>

namespace qx {

// Decodes the JPEG resource `name` ("QxSmallPobGray" or "QxBigPobGray"); a null image when it
// is missing or damaged.
QImage LoadBanner(const QString& name);

}  // namespace qx
