// Start-up figures of the main window.
#include "app/core/startup_figures.h"

#include <algorithm>

namespace qx {

StartupFigures ComputeStartupFigures(int screenWidth, int screenHeight, int frameHeight,
                                     int clientHeight) {
    StartupFigures f;
    if (screenWidth < 480 || screenHeight < 400) {
        f.screenTooSmall = true;
        return f;
    }
    f.MaxViewWidth = std::min(screenWidth / 2 - 40, 800);
    f.MaxViewLength = std::min(screenHeight - 200 - frameHeight, 600);

    BannerPlacement& b = f.banner;
    if (screenWidth < 800) {
        b = {"QxSmallPobGray", 0, 0, 640, 180};
    } else {
        b = {"QxBigPobGray", 0, 0, 796, 224};
    }
    b.left = std::max((screenWidth - b.width) / 2, 0);
    b.top = (clientHeight - b.height) / 2;
    if (b.top < 0) b.top = frameHeight;
    return f;
}

}  // namespace qx
