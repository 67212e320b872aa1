// Simulated pointer settings.
#include "platform/sim/sim_services.h"

#include <string>

namespace mivo::platform::sim {

namespace {
std::string Args(std::initializer_list<long long> values, unsigned flags) {
    std::string out;
    for (long long v : values) {
        out += std::to_string(v);
        out += ' ';
    }
    out += std::to_string(flags);
    return out;
}
}  // namespace

bool SimPointerSettings::SetMouseTrails(uint32_t length, unsigned flags) {
    trails = length;
    log_.Event("pointer.trails", Args({length}, flags));
    return true;
}

bool SimPointerSettings::SetMouseParams(const std::array<int, 3>& params, unsigned flags) {
    mouse_params = params;
    log_.Event("pointer.mouse", Args({params[0], params[1], params[2]}, flags));
    return true;
}

bool SimPointerSettings::SetDoubleClickTime(uint32_t ms, unsigned flags) {
    double_click_ms = ms;
    log_.Event("pointer.dclick", Args({ms}, flags));
    return true;
}

bool SimPointerSettings::SetMouseSpeed(int value, unsigned flags) {
    speed = value;
    log_.Event("pointer.speed", Args({value}, flags));
    return true;
}

bool SimPointerSettings::SetWheelScrollLines(uint32_t lines, unsigned flags) {
    wheel_lines = lines;
    log_.Event("pointer.wheel", Args({lines}, flags));
    return true;
}

bool SimPointerSettings::SetDragFullWindows(bool on, unsigned flags) {
    drag_full_windows = on;
    log_.Event("pointer.dragfull", Args({on ? 1 : 0}, flags));
    return true;
}

}  // namespace mivo::platform::sim
