// The device side of applying settings and of the periodic dpi poll, shared by the window and mivoctl.
#pragma once
#include <cstdint>
#include <functional>

#include "device/device_link.h"
#include "device/protocol.h"
#include "settings/mouse_settings.h"

namespace mivo {

// Flags of the window that an apply and a poll share.
struct ApplyFlags {
    int32_t ApplyBusy = 0;  // 1 from the start of an apply until its end report is accepted
    int32_t ApplyDone = 1;  // 1 once an apply's end report was accepted
};

enum class ApplyStatus {
    Done,     // the end report was accepted
    NoMouse,  // no mouse after the ensure-open step: only the pointer settings were written
    Refused,  // the mouse refused a report; `refused` names its command
};

struct ApplyResult {
    ApplyStatus status = ApplyStatus::NoMouse;
    uint8_t refused = 0;
};

// Called between the handedness step and the reports: the window pushes Key[0]/Key[1] into its
// drop-downs, reads every control back into the record and saves the profile; mivoctl saves.
using StoreAndSave = std::function<void(MouseSettings&)>;

// Forces buttons 1 and 2 from HandedMode: 1 (left) gives 0x02/0x01, 2 (right) 0x01/0x02,
// other values leave them.
void ForceHandedness(MouseSettings& settings);

// Pointer settings, ensure-open, 200 ms, handedness, store_and_save, 200 ms, the report sequence.
// ApplyBusy is 1 while the apply runs and 0 when it returns, whatever the outcome; ApplyDone is
// set only when the end report was accepted.
ApplyResult ApplySettings(DeviceLink& link, MouseSettings& settings, ApplyFlags& flags,
                          const StoreAndSave& store_and_save);

enum class PollStatus {
    Skipped,      // an apply is under way (or failed): nothing was done
    NoMouse,      // the mouse could not be opened: the window hides
    QueryFailed,  // the query or the read was refused: nothing changes
    Unchanged,    // same answer as last time and no force: nothing changes
    Update,       // the window hides its markers and shows the one for `code` (when 1-7)
};

struct PollResult {
    PollStatus status = PollStatus::Skipped;
    uint8_t code = 0;  // the answer, for QueryFailed/Unchanged/Update
    int32_t dpi = 0;   // dpi of `code` when it is a slot code 1-7, else 0 (CurDPI stays as it was)
};

// The last slot code a dpi query answered; one per process, 0 at start.
uint8_t& LastDpiCode();

// Ensure-open, query, compare with `last_code` unless forced. On Update, `last_code` takes the
// answer; the caller sets CurDPI from `dpi` when it is non-zero and refreshes its markers.
PollResult PollDpi(DeviceLink& link, const ApplyFlags& flags, uint8_t& last_code, bool force);

}  // namespace mivo
