// The system pointer settings that go with the mouse, written from the settings record.
#pragma once
#include <array>
#include <cstdint>

#include "settings/mouse_settings.h"

namespace mivo {

// The values the five writes of ApplyPointerSettings pass, computed from the record.
struct PointerValues {
    uint32_t trails;                  // 3 when trails are on, else 0
    std::array<int, 3> mouse_params;  // {0, 1, 2} with acceleration, else {0, 0, 0}
    uint32_t double_click_ms;         // 1300 - 100 x step, step held to 1-11
    int speed;                        // 2 x PointerSpeed - 1, held to 1-20
    bool write_wheel;                 // false when neither lines nor page scrolling is chosen
    uint32_t wheel_lines;             // ScrollSpeed (never negative), or the page-scroll value
};
PointerValues ComputePointerValues(const MouseSettings& settings);

// Writes trails, acceleration, double-click time, pointer speed and wheel lines, in that order,
// through the platform's pointer settings service. Results are not examined; without the service
// nothing is written and "pointer.unavailable" is reported.
void ApplyPointerSettings(const MouseSettings& settings);

// Turns on showing window contents while dragging, for this session only (nothing persisted).
void EnableDragFullWindows();

}  // namespace mivo
