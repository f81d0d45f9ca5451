// PSNR of a restored picture as the command-line tool prints it.
#pragma once

#include <string>

#include "codec/psnr.h"

namespace qx1 {

using qx::Psnr;

// "34.56 dB", or "inf dB" for identical pictures.
std::string PsnrText(double psnr);

}  // namespace qx1
