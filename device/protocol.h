// The mouse's 8-byte feature reports: encoders, the settings sequence with its pauses, the dpi query.
#pragma once
#include <array>
#include <cstdint>

#include "device/device_link.h"
#include "platform/hid.h"
#include "settings/mouse_settings.h"

namespace mivo {

using platform::FeatureReport;

namespace report {
constexpr uint8_t kReportId = 0x03;
constexpr uint8_t kPollingRate = 0xC0;
constexpr uint8_t kDpiTable1 = 0xA0;
constexpr uint8_t kDpiTable2 = 0xA1;
constexpr uint8_t kDpiSelect = 0xA2;
constexpr uint8_t kButtons1 = 0xB0;
constexpr uint8_t kButtons2 = 0xB1;
constexpr uint8_t kLight = 0xD0;
constexpr uint8_t kEnd = 0xEE;
constexpr uint8_t kDpiQuery = 0xDD;
}  // namespace report

// Sum of bytes 1 to 6, modulo 256.
uint8_t CheckByte(const FeatureReport& r);

// A report with ID 3, the command, the payload (bytes 2-6) and its check byte.
FeatureReport MakeReport(uint8_t command, const std::array<uint8_t, 5>& payload = {});

// 1000 Hz -> 0, 500 -> 1, 250 -> 2, 125 -> 3; anything else -> 0.
uint8_t RateCode(int32_t polling_rate);
// 1 (always on) -> 0x11, 2 (breathing) -> 0x20, anything else -> 0x10 (off).
uint8_t LightCode(int32_t adjust_effect);

// The dpi cycle as the mouse receives it.
struct DpiTable {
    std::array<uint8_t, 7> entries{};  // slot codes of the enabled slots, ascending, then zeros
    uint8_t count = 0;                 // enabled slots
    uint8_t selected = 0;              // 1-based position of CurDPI's slot; 0 when it is not in the table
};
DpiTable BuildDpiTable(const MouseSettings& settings);

FeatureReport EncodePollingRate(const MouseSettings& settings);
FeatureReport EncodeDpiTable1(const DpiTable& table);
FeatureReport EncodeDpiTable2(const DpiTable& table);
FeatureReport EncodeDpiSelect(const DpiTable& table);
FeatureReport EncodeButtons1(const MouseSettings& settings);  // buttons 1, 2, 3, 6, 4
FeatureReport EncodeButtons2(const MouseSettings& settings);  // button 5
FeatureReport EncodeLight(const MouseSettings& settings);
FeatureReport EncodeEnd();
FeatureReport EncodeDpiQuery();

// The eight reports of one settings sequence, in sending order.
std::array<FeatureReport, 8> EncodeSettingsReports(const MouseSettings& settings);

// Sends one report when the link is connected and has a handle; false otherwise or when refused.
bool SendFeature(DeviceLink& link, const FeatureReport& report);

// Outcome of one settings sequence.
struct SequenceResult {
    uint8_t refused = 0;  // command of the report that failed; 0 when the end report was accepted
    bool accepted() const { return refused == 0; }
};

// Sends the eight reports with their fixed pauses (through the platform clock). Stops at the
// first refused report.
SequenceResult SendSettingsReports(DeviceLink& link, const MouseSettings& settings);

// Sends the dpi query and reads the answer; true and the slot code (byte 1) on success.
bool QueryDpiCode(DeviceLink& link, uint8_t& code);

// Sleeps through the platform clock (nothing when the platform has none).
void Pause(int64_t ms);

}  // namespace mivo
