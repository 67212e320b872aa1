// Simulated window: remembers its rectangle, visibility and the last presented frame, and logs each change.
#pragma once
#include "gfx/image.h"
#include "platform/diagnostics.h"
#include "platform/window.h"

namespace mivo::platform::sim {

// Logs "window.move <left> <top> <w>x<h>", "window.present <w>x<h>", "window.show" and "window.hide".
class SimWindow final : public Window {
public:
    SimWindow(Diagnostics& log, const gfx::Rect& rect) : log_(log), rect_(rect) {}

    gfx::Rect GetRect() override { return rect_; }
    void Move(const gfx::Rect& screen_rect) override;
    void Present(const gfx::Image& frame) override;
    bool IsVisible() override { return visible_; }
    void SetVisible(bool visible) override;

    // The last presented frame; a null image before the first one.
    const gfx::Image& Frame() const { return frame_; }
    int PresentCount() const { return presents_; }

private:
    Diagnostics& log_;
    gfx::Rect rect_;
    bool visible_ = false;
    gfx::Image frame_;
    int presents_ = 0;
};

}  // namespace mivo::platform::sim
