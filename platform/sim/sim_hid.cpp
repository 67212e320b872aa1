// Simulated HID bus and the software model of the mouse it carries.
#include "platform/sim/sim_hid.h"

#include <cstdio>
#include <set>

#include "platform/sim/event_log.h"

namespace mivo::platform::sim {

namespace {

std::string Hex2(uint8_t value) { return HexBytes(&value, 1); }

uint8_t CheckByte(const FeatureReport& r) {
    unsigned sum = 0;
    for (int i = 1; i <= 6; ++i) sum += r[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

}  // namespace

uint8_t SimMouseState::CurrentSlotCode() const {
    if (selected < 1 || selected > dpi_count || selected > dpi_table.size()) return 0;
    return dpi_table[selected - 1];
}

struct SimHidBus::Model {
    explicit Model(Diagnostics& d) : log(d) {}

    Diagnostics& log;
    std::vector<SimInterface> interfaces;
    SimMouseState mouse;
    uint16_t version = 5;
    std::set<uint8_t> refused_commands;
    bool refuse_read = false;
    bool fail_registration = false;
    bool plugged = true;
    int generation = 0;  // bumped at every unplug, so older handles go stale
    std::function<void(const DeviceBroadcast&)> handler;
    Clock* clock = nullptr;
    std::multiset<int64_t> scheduled_presses;

    void PressDpiButton() {
        if (mouse.dpi_count > 0) {
            mouse.selected = static_cast<uint8_t>(mouse.selected >= mouse.dpi_count ? 1 : mouse.selected + 1);
        }
        log.Event("mouse.dpibutton", std::to_string(mouse.CurrentSlotCode()));
    }

    // Carries out the scheduled presses that are due.
    void RunDuePresses() {
        if (!clock) return;
        const int64_t now = clock->Now();
        while (!scheduled_presses.empty() && *scheduled_presses.begin() <= now) {
            scheduled_presses.erase(scheduled_presses.begin());
            PressDpiButton();
        }
    }

    const SimInterface* Find(const std::string& path) const {
        for (const auto& i : interfaces) {
            if (i.path == path && (plugged || !i.is_mouse)) return &i;
        }
        return nullptr;
    }


    // Applies one accepted report to the mouse state.
    void Apply(const FeatureReport& r) {
        switch (r[1]) {
            case 0xC0: mouse.rate_code = r[2]; break;
            case 0xA0:
                for (int i = 0; i < 5; ++i) mouse.dpi_table[i] = r[2 + i];
                break;
            case 0xA1:
                mouse.dpi_table[5] = r[2];
                mouse.dpi_table[6] = r[3];
                mouse.dpi_count = r[4] > 7 ? 7 : r[4];
                break;
            case 0xA2: mouse.selected = r[2]; break;
            case 0xB0:
                // Button 6 travels before button 4 in this report.
                mouse.buttons[0] = r[2];
                mouse.buttons[1] = r[3];
                mouse.buttons[2] = r[4];
                mouse.buttons[5] = r[5];
                mouse.buttons[3] = r[6];
                break;
            case 0xB1: mouse.buttons[4] = r[2]; break;
            case 0xD0: mouse.light = r[2]; break;
            case 0xEE: ++mouse.end_reports; break;
            default: break;  // the dpi query and unknown commands change nothing
        }
    }
};

namespace {

class SimHidDevice final : public HidDevice {
public:
    SimHidDevice(std::weak_ptr<SimHidBus::Model> model, SimInterface iface, int generation)
        : model_(std::move(model)), iface_(std::move(iface)), generation_(generation) {}

    bool GetAttributes(HidAttributes& out) override {
        auto m = Live();
        if (!m) return false;
        out.vendor_id = iface_.vendor_id;
        out.product_id = iface_.product_id;
        out.version = iface_.is_mouse ? m->version : 1;
        return true;
    }

    bool SetFeature(const FeatureReport& report) override {
        auto m = model_.lock();
        if (!m) return false;
        m->RunDuePresses();
        m->log.Event("hid.set", HexBytes(report.data(), report.size()));
        const char* reason = nullptr;
        if (!Live()) reason = "unplugged";
        else if (!iface_.is_mouse) reason = "not-the-mouse";
        else if (report[0] != 0x03) reason = "report-id";
        else if (report[7] != CheckByte(report)) reason = "check";
        else if (m->refused_commands.count(report[1])) reason = "command";
        if (reason) {
            m->log.Event("hid.refused", Hex2(report[1]) + " " + reason);
            return false;
        }
        m->Apply(report);
        return true;
    }

    bool GetFeature(FeatureReport& report) override {
        auto m = model_.lock();
        if (!m) return false;
        m->RunDuePresses();
        const char* reason = nullptr;
        if (!Live()) reason = "unplugged";
        else if (!iface_.is_mouse) reason = "not-the-mouse";
        else if (report[0] != 0x03) reason = "report-id";
        else if (m->refuse_read) reason = "read";
        if (reason) {
            m->log.Event("hid.refused", std::string("get ") + reason);
            return false;
        }
        report = FeatureReport{0x03, m->mouse.CurrentSlotCode(), 0, 0, 0, 0, 0, 0};
        report[7] = CheckByte(report);
        m->log.Event("hid.get", HexBytes(report.data(), report.size()));
        return true;
    }

private:
    // The model, when this handle still reaches a present interface.
    std::shared_ptr<SimHidBus::Model> Live() {
        auto m = model_.lock();
        if (!m) return nullptr;
        if (iface_.is_mouse && (!m->plugged || m->generation != generation_)) return nullptr;
        return m;
    }

    std::weak_ptr<SimHidBus::Model> model_;
    SimInterface iface_;
    int generation_;
};

}  // namespace

SimHidBus::SimHidBus(Diagnostics& log) : model_(std::make_shared<Model>(log)) {
    model_->interfaces.push_back(SimInterface{MousePath(0), kVendorId, kProductId, true, true});
}

SimHidBus::~SimHidBus() = default;

std::string SimHidBus::MousePath(int interface_number) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "\\\\?\\hid#vid_5a2b&pid_4d71&mi_%02d#sim&0&%04d#{hid}", interface_number,
                  interface_number);
    return buf;
}

std::vector<std::string> SimHidBus::Enumerate() {
    model_->RunDuePresses();
    std::vector<std::string> out;
    for (const auto& i : model_->interfaces) {
        if (model_->plugged || !i.is_mouse) out.push_back(i.path);
    }
    return out;
}

std::unique_ptr<HidDevice> SimHidBus::Open(const std::string& path) {
    const SimInterface* iface = model_->Find(path);
    if (!iface || !iface->openable) {
        model_->log.Event("hid.openfail", path);
        return nullptr;
    }
    model_->log.Event("hid.open", path);
    return std::make_unique<SimHidDevice>(model_, *iface, model_->generation);
}

bool SimHidBus::RegisterNotifications(std::function<void(const DeviceBroadcast&)> handler) {
    if (model_->fail_registration) {
        model_->log.Event("hid.registerfail", {});
        return false;
    }
    model_->handler = std::move(handler);
    model_->log.Event("hid.register", {});
    return true;
}

void SimHidBus::SetInterfaces(std::vector<SimInterface> interfaces) { model_->interfaces = std::move(interfaces); }
const std::vector<SimInterface>& SimHidBus::Interfaces() const { return model_->interfaces; }

SimMouseState& SimHidBus::Mouse() { return model_->mouse; }
void SimHidBus::SetVersion(uint16_t release) { model_->version = release; }
uint16_t SimHidBus::Version() const { return model_->version; }

void SimHidBus::RefuseCommand(uint8_t command, bool refuse) {
    if (refuse) model_->refused_commands.insert(command);
    else model_->refused_commands.erase(command);
}

void SimHidBus::RefuseRead(bool refuse) { model_->refuse_read = refuse; }
void SimHidBus::FailRegistration(bool fail) { model_->fail_registration = fail; }
bool SimHidBus::Plugged() const { return model_->plugged; }

void SimHidBus::Unplug() {
    if (!model_->plugged) return;
    model_->plugged = false;
    ++model_->generation;
    model_->log.Event("hid.unplug", {});
    for (const auto& i : std::vector<SimInterface>(model_->interfaces)) {
        if (i.is_mouse) Broadcast(DeviceBroadcast{0x8004, true, i.path});
    }
}

void SimHidBus::Plug() {
    if (model_->plugged) return;
    model_->plugged = true;
    model_->log.Event("hid.plug", {});
    for (const auto& i : std::vector<SimInterface>(model_->interfaces)) {
        if (i.is_mouse) Broadcast(DeviceBroadcast{0x8000, true, i.path});
    }
}

void SimHidBus::Broadcast(const DeviceBroadcast& broadcast) {
    char code[8];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(broadcast.event));
    model_->log.Event("hid.notify", broadcast.name.empty() ? std::string(code) : std::string(code) + " " + broadcast.name);
    if (model_->handler) model_->handler(broadcast);
}

void SimHidBus::PressDpiButton() { model_->PressDpiButton(); }
void SimHidBus::SchedulePress(int64_t at_ms) { model_->scheduled_presses.insert(at_ms); }
void SimHidBus::SetClock(Clock* clock) { model_->clock = clock; }

}  // namespace mivo::platform::sim
