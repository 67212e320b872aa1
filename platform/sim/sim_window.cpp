// Simulated window.
#include "platform/sim/sim_window.h"

#include <string>

namespace mivo::platform::sim {

void SimWindow::Move(const gfx::Rect& r) {
    rect_ = r;
    log_.Event("window.move", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                                  std::to_string(r.Width()) + "x" + std::to_string(r.Height()));
}

void SimWindow::Present(const gfx::Image& frame) {
    frame_ = frame.Copy();
    ++presents_;
    log_.Event("window.present", std::to_string(frame.Width()) + "x" + std::to_string(frame.Height()));
}

void SimWindow::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    log_.Event(visible ? "window.show" : "window.hide", {});
}

}  // namespace mivo::platform::sim
