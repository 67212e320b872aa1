// Simulated HID bus: a software model of the mouse behind one or more interfaces, with plug events.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/diagnostics.h"
#include "platform/hid.h"

namespace mivo::platform::sim {

// What the mouse's firmware keeps from the feature reports. Starts in the factory state.
struct SimMouseState {
    uint8_t rate_code = 0;                                      // 0 = 1000 Hz
    std::array<uint8_t, 7> dpi_table = {1, 2, 3, 4, 5, 6, 7};   // slot codes of the dpi cycle
    uint8_t dpi_count = 7;                                      // enabled entries of dpi_table
    uint8_t selected = 3;                                       // 1-based position in dpi_table
    std::array<uint8_t, 6> buttons = {0x01, 0x02, 0x04, 0x82, 0x83, 0x81};  // button 1..6
    uint8_t light = 0x20;                                       // breathing
    int end_reports = 0;                                        // 0xEE reports accepted so far

    // Slot code of the current dpi step, 0 when the selection points at no entry.
    uint8_t CurrentSlotCode() const;
};

// One HID interface the bus enumerates.
struct SimInterface {
    std::string path;
    uint16_t vendor_id = 0;
    uint16_t product_id = 0;
    bool openable = true;   // false: the system refuses read/write access
    bool is_mouse = true;   // true: reports go to the mouse model and it vanishes when unplugged
};

class SimHidBus final : public HidBus {
public:
    static constexpr uint16_t kVendorId = 0x5A2B;
    static constexpr uint16_t kProductId = 0x4D71;

    // `log` receives one line per open, report, refusal and plug event.
    explicit SimHidBus(Diagnostics& log);
    ~SimHidBus() override;

    std::vector<std::string> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;
    bool RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) override;

    // --- Test and script controls ---

    // Path of the interface the mouse exposes by default.
    static std::string MousePath(int interface_number = 0);
    // Replaces the interface list (in enumeration order).
    void SetInterfaces(std::vector<SimInterface> interfaces);
    const std::vector<SimInterface>& Interfaces() const;

    SimMouseState& Mouse();
    void SetVersion(uint16_t release) ;
    uint16_t Version() const;

    // Makes the mouse refuse (or accept again) every report with this command byte.
    void RefuseCommand(uint8_t command, bool refuse = true);
    // Makes the mouse refuse reading its answer (the get of report 3).
    void RefuseRead(bool refuse = true);
    // Makes RegisterNotifications fail.
    void FailRegistration(bool fail = true);

    bool Plugged() const;
    // Removes the mouse: its interfaces leave the enumeration, open handles go stale, and a
    // removal broadcast (0x8004) per interface reaches the registered handler.
    void Unplug();
    // Brings the mouse back with arrival broadcasts (0x8000); handles opened before stay stale.
    void Plug();
    // Sends any broadcast to the registered handler (for events the bus does not produce itself).
    void Broadcast(const DeviceBroadcast& broadcast);

    // The mouse's own dpi button: selects the next enabled dpi entry, wrapping around.
    void PressDpiButton();
    // Presses the dpi button once the clock given to SetClock reaches `at_ms`; the press takes
    // effect (and is logged) at the first bus or report operation from then on.
    void SchedulePress(int64_t at_ms);
    // The clock scheduled presses are measured against (none: they never happen).
    void SetClock(Clock* clock);

    struct Model;  // shared with the handles the bus gives out

private:
    std::shared_ptr<Model> model_;
};

}  // namespace mivo::platform::sim
