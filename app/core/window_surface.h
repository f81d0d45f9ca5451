// What the commands and the viewer logic need of the windows, so that they run with real windows
// in the program and with plain recorders in tests.
#pragma once

#include <string>

#include "app/core/menu_state.h"
#include "app/core/view_layout.h"

namespace qx {

enum class Pointer { Arrow, Hand, Wait };

// One viewer window (left: source picture, right: restored picture).
class ViewerSurface {
  public:
    virtual ~ViewerSurface() = default;
    // Moves the window and sizes its client area; the window has no border.
    virtual void place(const ViewerRect& rect) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual bool isShown() const = 0;
    // Position of the window's top-left corner on the screen.
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual void setPointer(Pointer pointer) = 0;
    // Draws the view rows again; `now` during a drag, otherwise when convenient.
    virtual void redraw(bool now) = 0;
};

// The main window.
class MainSurface {
  public:
    virtual ~MainSurface() = default;
    virtual MainWindowMetrics metrics() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual void setBannerVisible(bool visible) = 0;
    virtual void setMenu(const MenuState& menu) = 0;
    // The result label at (left, top) of the main window; an empty text clears it.
    virtual void setResultLabel(const std::string& text, int left, int top) = 0;
    // The PSNR beside the result label; an empty text clears it.
    virtual void setPsnrLabel(const std::string& text) { (void)text; }
    // Hourglass while long work runs; pending paints (never input) are processed meanwhile.
    virtual void setBusy(bool busy) = 0;
    // The navigator's frames or colours changed.
    virtual void redrawNavigator() = 0;
    // Keyboard focus back to the main window.
    virtual void focusMain() = 0;
};

}  // namespace qx
