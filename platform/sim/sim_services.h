// Small simulated services: pointer settings that remember and log what is written, locale, paths.
#pragma once
#include <array>
#include <filesystem>
#include <optional>

#include "platform/locale.h"
#include "platform/paths.h"
#include "platform/pointer_settings.h"
#include "platform/sim/event_log.h"

namespace mivo::platform::sim {

// Remembers the last value of each parameter (empty until written) and logs every write as
// "pointer.<what> <value...> <flags>".
class SimPointerSettings final : public PointerSettings {
public:
    explicit SimPointerSettings(Diagnostics& log) : log_(log) {}

    bool SetMouseTrails(uint32_t length, unsigned flags) override;
    bool SetMouseParams(const std::array<int, 3>& params, unsigned flags) override;
    bool SetDoubleClickTime(uint32_t ms, unsigned flags) override;
    bool SetMouseSpeed(int speed, unsigned flags) override;
    bool SetWheelScrollLines(uint32_t lines, unsigned flags) override;
    bool SetDragFullWindows(bool on, unsigned flags) override;

    std::optional<uint32_t> trails;
    std::optional<std::array<int, 3>> mouse_params;
    std::optional<uint32_t> double_click_ms;
    std::optional<int> speed;
    std::optional<uint32_t> wheel_lines;
    std::optional<bool> drag_full_windows;

private:
    Diagnostics& log_;
};

class SimLocale final : public Locale {
public:
    uint16_t UserDefaultLangId() override { return lang_id; }
    uint16_t lang_id = 0x0409;
};

class SimPaths final : public Paths {
public:
    std::filesystem::path ExecutablePath() override { return executable; }
    std::filesystem::path TempDir() override { return temp; }
    bool TempDirIsShared() override { return temp_shared; }
    std::filesystem::path executable;
    std::filesystem::path temp;
    bool temp_shared = false;  // a per-user temporary folder unless a test says otherwise
};

}  // namespace mivo::platform::sim
