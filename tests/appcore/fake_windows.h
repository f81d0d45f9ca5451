// Window surfaces that only remember what they were asked to do, for the desktop commands run
// without a screen. The main window stands for a maximised window on a 1024 x 768 screen.
#pragma once

#include <array>
#include <string>

#include "app/core/window_surface.h"

namespace qxtest {

class FakeViewer : public qx::ViewerSurface {
  public:
    qx::ViewerRect rect;
    bool shown = false;
    qx::Pointer pointer = qx::Pointer::Arrow;
    int redraws = 0;

    void place(const qx::ViewerRect& r) override { rect = r; }
    void showWindow() override { shown = true; }
    void hideWindow() override { shown = false; }
    bool isShown() const override { return shown; }
    int left() const override { return rect.left; }
    int top() const override { return rect.top; }
    void setPointer(qx::Pointer p) override { pointer = p; }
    void redraw(bool) override { ++redraws; }
};

class FakeMain : public qx::MainSurface {
  public:
    qx::MainWindowMetrics size{1024, 718, 50};
    std::string caption;
    bool bannerVisible = true;
    qx::MenuState menu;
    std::string label;
    int labelLeft = 0;
    int labelTop = 0;
    bool busy = false;
    int navigatorRedraws = 0;
    std::string psnr;

    qx::MainWindowMetrics metrics() const override { return size; }
    void setCaption(const std::string& c) override { caption = c; }
    void setBannerVisible(bool v) override { bannerVisible = v; }
    void setMenu(const qx::MenuState& m) override { menu = m; }
    void setResultLabel(const std::string& text, int left, int top) override {
        label = text;
        labelLeft = left;
        labelTop = top;
    }
    void setPsnrLabel(const std::string& text) override { psnr = text; }
    void setBusy(bool b) override { busy = b; }
    void redrawNavigator() override { ++navigatorRedraws; }
    void focusMain() override {}
};

// A viewer's place as {left, top, client width, client height}, compared in one line.
inline std::array<int, 4> Place(const qx::ViewerRect& r) {
    return {r.left, r.top, r.clientWidth, r.clientHeight};
}

// The navigator's outer frame {x, y, w, h} and inner frame {x, y, w, h}.
inline std::array<int, 8> Frames(const qx::NavigatorFrame& n) {
    return {n.NavX, n.NavY, n.NavW, n.NavH, n.FrameX, n.FrameY, n.FrameW, n.FrameH};
}

}  // namespace qxtest
