// Encoding and sending of the mouse's feature reports.
#include "device/protocol.h"

#include <cstdio>

#include "platform/clock.h"
#include "platform/platform.h"

namespace mivo {

uint8_t CheckByte(const FeatureReport& r) {
    unsigned sum = 0;
    for (int i = 1; i <= 6; ++i) sum += r[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

FeatureReport MakeReport(uint8_t command, const std::array<uint8_t, 5>& payload) {
    FeatureReport r{report::kReportId, command, payload[0], payload[1], payload[2], payload[3], payload[4], 0};
    r[7] = CheckByte(r);
    return r;
}

uint8_t RateCode(int32_t polling_rate) {
    switch (polling_rate) {
        case 500: return 1;
        case 250: return 2;
        case 125: return 3;
        default: return 0;  // 1000 Hz, and any value the mouse has no code for
    }
}

uint8_t LightCode(int32_t adjust_effect) {
    switch (adjust_effect) {
        case 1: return 0x11;
        case 2: return 0x20;
        default: return 0x10;
    }
}

DpiTable BuildDpiTable(const MouseSettings& settings) {
    DpiTable table;
    for (size_t i = 0; i < settings.DPISwitch.size(); ++i) {
        if (settings.DPISwitch[i] == 0) continue;
        const auto code = static_cast<uint8_t>(i + 1);
        table.entries[table.count++] = code;
        if (kDpiSlots[i] == settings.CurDPI) table.selected = table.count;
    }
    return table;
}

FeatureReport EncodePollingRate(const MouseSettings& s) { return MakeReport(report::kPollingRate, {RateCode(s.PollingRate)}); }

FeatureReport EncodeDpiTable1(const DpiTable& t) {
    return MakeReport(report::kDpiTable1, {t.entries[0], t.entries[1], t.entries[2], t.entries[3], t.entries[4]});
}

FeatureReport EncodeDpiTable2(const DpiTable& t) {
    return MakeReport(report::kDpiTable2, {t.entries[5], t.entries[6], t.count, 0, 0});
}

FeatureReport EncodeDpiSelect(const DpiTable& t) { return MakeReport(report::kDpiSelect, {t.selected}); }

FeatureReport EncodeButtons1(const MouseSettings& s) {
    return MakeReport(report::kButtons1, {s.Key[0], s.Key[1], s.Key[2], s.Key[5], s.Key[3]});
}

FeatureReport EncodeButtons2(const MouseSettings& s) { return MakeReport(report::kButtons2, {s.Key[4]}); }
FeatureReport EncodeLight(const MouseSettings& s) { return MakeReport(report::kLight, {LightCode(s.AdjustEffect)}); }
FeatureReport EncodeEnd() { return MakeReport(report::kEnd); }
FeatureReport EncodeDpiQuery() { return MakeReport(report::kDpiQuery); }

std::array<FeatureReport, 8> EncodeSettingsReports(const MouseSettings& s) {
    const DpiTable t = BuildDpiTable(s);
    return {EncodePollingRate(s), EncodeDpiTable1(t), EncodeDpiTable2(t), EncodeDpiSelect(t),
            EncodeButtons1(s),    EncodeButtons2(s),  EncodeLight(s),     EncodeEnd()};
}

bool SendFeature(DeviceLink& link, const FeatureReport& r) {
    if (link.Connected == 0 || !link.Handle) return false;
    return link.Handle->SetFeature(r);
}

void Pause(int64_t ms) {
    if (auto* clock = platform::Current().clock) clock->Sleep(ms);
}

SequenceResult SendSettingsReports(DeviceLink& link, const MouseSettings& s) {
    // Each step: the report, then the pause that follows it. The button reports are built
    // after the dpi select, which is why a further 100 ms precede the first of them.
    const std::array<FeatureReport, 8> reports = EncodeSettingsReports(s);
    static constexpr std::array<int64_t, 8> kPauseAfter = {200, 100, 100, 100 + 100, 100, 200, 200, 0};
    for (size_t i = 0; i < reports.size(); ++i) {
        if (!SendFeature(link, reports[i])) {
            char command[4];
            std::snprintf(command, sizeof command, "%02X", reports[i][1]);
            platform::Report("device.stopped", command);
            return SequenceResult{reports[i][1]};
        }
        Pause(kPauseAfter[i]);
    }
    return SequenceResult{};
}

bool QueryDpiCode(DeviceLink& link, uint8_t& code) {
    if (!SendFeature(link, EncodeDpiQuery())) return false;
    if (link.Connected == 0 || !link.Handle) return false;
    FeatureReport answer{report::kReportId};
    if (!link.Handle->GetFeature(answer)) return false;
    code = answer[1];
    return true;
}

}  // namespace mivo
