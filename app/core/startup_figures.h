// Figures the main window works out when it starts: whether the screen is large enough, the
// largest viewer size, and which banner picture goes where.
#pragma once

#include <string>

namespace qx {

struct BannerPlacement {
    std::string resource;  // "QxSmallPobGray" or "QxBigPobGray"
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct StartupFigures {
    bool screenTooSmall = false;
    int MaxViewWidth = 0;
    int MaxViewLength = 0;
    BannerPlacement banner;
};

// `frameHeight` is the main window's height less its client height (caption, menu bar and
// borders); `clientHeight` its client height.
StartupFigures ComputeStartupFigures(int screenWidth, int screenHeight, int frameHeight,
                                     int clientHeight);

inline constexpr const char* kScreenTooSmall = "Screen is too small";
inline constexpr const char* kMainCaption = "QX WendoCompressor  ";
inline constexpr const char* kClosedCaption = "QX WendoCompressor";

}  // namespace qx
