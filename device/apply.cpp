// Applying settings to the system and the mouse, and polling the mouse's current dpi step.
#include "device/apply.h"

#include "platform/platform.h"
#include "settings/pointer.h"

namespace mivo {

void ForceHandedness(MouseSettings& settings) {
    if (settings.HandedMode == 1) {
        settings.Key[0] = keycode::kMenu;
        settings.Key[1] = keycode::kClick;
    } else if (settings.HandedMode == 2) {
        settings.Key[0] = keycode::kClick;
        settings.Key[1] = keycode::kMenu;
    }
}

ApplyResult ApplySettings(DeviceLink& link, MouseSettings& settings, ApplyFlags& flags,
                          const StoreAndSave& store_and_save) {
    flags.ApplyBusy = 1;
    ApplyPointerSettings(settings);
    if (!EnsureOpen(link)) {
        flags.ApplyBusy = 0;
        platform::Report("device.apply", "nomouse");
        return ApplyResult{ApplyStatus::NoMouse, 0};
    }
    Pause(200);
    ForceHandedness(settings);
    if (store_and_save) store_and_save(settings);
    Pause(200);
    const SequenceResult sent = SendSettingsReports(link, settings);
    // Busy only while the apply runs: a failed apply must not suspend the dpi poll (and with it
    // the reopening of the link) for the rest of the run.
    flags.ApplyBusy = 0;
    if (!sent.accepted()) return ApplyResult{ApplyStatus::Refused, sent.refused};
    flags.ApplyDone = 1;
    return ApplyResult{ApplyStatus::Done, 0};
}

uint8_t& LastDpiCode() {
    static uint8_t code = 0;
    return code;
}

PollResult PollDpi(DeviceLink& link, const ApplyFlags& flags, uint8_t& last_code, bool force) {
    if (flags.ApplyBusy != 0) return PollResult{PollStatus::Skipped};
    if (!EnsureOpen(link)) return PollResult{PollStatus::NoMouse};
    uint8_t code = 0;
    if (!QueryDpiCode(link, code)) return PollResult{PollStatus::QueryFailed};
    if (code == last_code && !force) return PollResult{PollStatus::Unchanged, code};
    last_code = code;
    const int32_t dpi = code >= 1 && code <= kDpiSlots.size() ? kDpiSlots[code - 1] : 0;
    return PollResult{PollStatus::Update, code, dpi};
}

}  // namespace mivo
