// PSNR text of the command-line tool.
#include "cli/psnr.h"

#include <cmath>
#include <cstdio>

namespace qx1 {

std::string PsnrText(double psnr) {
    if (std::isinf(psnr)) return "inf dB";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dB", psnr);
    return text;
}

}  // namespace qx1
