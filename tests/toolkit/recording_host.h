// Test host that records every report its controls make, in order, and can compose into a simulated window.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/image.h"
#include "toolkit/zyl_dialog.h"

namespace mivo::test {

class RecordingHost : public CZylDialog {
public:
    void Redraw() override {
        log.push_back("Redraw");
        if (on_redraw) on_redraw();
        CZylDialog::Redraw();  // composes only when a window is attached
    }
    void OnCtrlHover(int id) override { log.push_back("Hover " + std::to_string(id)); }
    void OnComboHover(int id) override { log.push_back("Combo " + std::to_string(id)); }
    void ResetCtrlStates(int kind, int exceptId) override {
        log.push_back("Reset " + std::to_string(kind) + " " + std::to_string(exceptId));
        CZylDialog::ResetCtrlStates(kind, exceptId);
    }
    void OnCtrlClick(int id) override { log.push_back("Click " + std::to_string(id)); }
    void StartCtrlTimer(int id) override { log.push_back("Timer " + std::to_string(id)); }

    // Adds a control reporting to this host and returns it with its own type.
    template <class T>
    T* Add(std::unique_ptr<T> ctrl) {
        ctrl->m_pEvent = this;
        T* raw = ctrl.get();
        AddCtrl(std::move(ctrl));
        return raw;
    }

    // The reports since the last call.
    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    std::vector<std::string> log;
    std::function<void()> on_redraw;
};

using Log = std::vector<std::string>;

// A picture of one opaque colour.
inline gfx::ImagePtr Solid(uint32_t argb, int w = 4, int h = 4) {
    auto image = std::make_unique<gfx::Image>(w, h);
    for (auto& p : image->Pixels()) p = gfx::Premultiply(argb);
    return image;
}

}  // namespace mivo::test
