// The profile file: key table, number conversion, load and save.
#include "settings/profile.h"

#include <utility>
#include <vector>

#include "base/ini_file.h"
#include "base/text.h"
#include "platform/platform.h"
#include "resources/paths.h"

namespace mivo {

namespace {

// Field accessors for the key table; one per field, Key bytes and dpi flags by index.
template <int32_t MouseSettings::*Field>
ProfileKey IntKey(std::string_view name, std::string_view default_text) {
    return {name, default_text, false, [](const MouseSettings& s) { return s.*Field; },
            [](MouseSettings& s, int32_t v) { s.*Field = v; }};
}

template <size_t I>
ProfileKey DpiKey(std::string_view name) {
    return {name, "1", false, [](const MouseSettings& s) { return s.DPISwitch[I]; },
            [](MouseSettings& s, int32_t v) { s.DPISwitch[I] = v; }};
}

template <size_t I>
ProfileKey ButtonKey(std::string_view name, std::string_view default_text) {
    return {name, default_text, true,
            [](const MouseSettings& s) { return static_cast<int32_t>(s.Key[I]); },
            [](MouseSettings& s, int32_t v) { s.Key[I] = static_cast<uint8_t>(v & 0xFF); }};
}

const std::array<ProfileKey, 25> kKeys = {
    IntKey<&MouseSettings::CurDPI>("CurDPI", "1000"),
    IntKey<&MouseSettings::ScrollSpeed>("ScrollSpeed", "3"),
    IntKey<&MouseSettings::MouseWheel>("MouseWheel", "1"),
    IntKey<&MouseSettings::OnePage>("1Page", "0"),
    IntKey<&MouseSettings::PollingRate>("PollingRate", "1000"),
    DpiKey<0>("DPISwitch250"),
    DpiKey<1>("DPISwitch500"),
    DpiKey<2>("DPISwitch1000"),
    DpiKey<3>("DPISwitch1250"),
    DpiKey<4>("DPISwitch1500"),
    DpiKey<5>("DPISwitch1750"),
    DpiKey<6>("DPISwitch2000"),
    IntKey<&MouseSettings::PointerSpeed>("PointerSpeed", "6"),
    IntKey<&MouseSettings::MouseAcceleration>("MouseAcceleration", "0"),
    IntKey<&MouseSettings::DisplayPointerTrails>("DisplayPointerTrails", "0"),
    IntKey<&MouseSettings::DClickSpeed>("DClickSpeed", "7"),
    IntKey<&MouseSettings::HandedMode>("HandedMode", "2"),
    IntKey<&MouseSettings::AdjustEffect>("AdjustEffect", "2"),
    ButtonKey<0>("Key1", "0x01"),
    ButtonKey<1>("Key2", "0x02"),
    ButtonKey<2>("Key3", "0x04"),
    ButtonKey<3>("Key4", "0x82"),
    ButtonKey<4>("Key5", "0x83"),
    ButtonKey<5>("Key6", "0x85"),
    IntKey<&MouseSettings::Language>("Language", "64"),
};

// Matches the reading buffer of 260 characters.
constexpr size_t kValueChars = 260;

}  // namespace

const std::array<ProfileKey, 25>& ProfileKeys() { return kKeys; }

const ProfileKey* FindProfileKey(std::string_view name) {
    for (const ProfileKey& key : kKeys) {
        if (text::EqualsNoCase(key.name, name)) return &key;
    }
    return nullptr;
}

int32_t ParseProfileValue(const ProfileKey& key, std::string_view value) {
    if (!key.is_button_key) return text::ParseLong(value, 10);
    const int32_t n = value.starts_with("0x") ? text::ParseLong(value, 16) : text::ParseLong(value, 10);
    return n & 0xFF;
}

void SetProfileValue(const ProfileKey& key, MouseSettings& settings, std::string_view value) {
    key.set(settings, ParseProfileValue(key, value));
}

std::string FormatProfileValue(const ProfileKey& key, const MouseSettings& settings) {
    return std::to_string(key.get(settings));
}

std::filesystem::path ProfilePath() { return GetModuleDir() / kProfileFileName; }

void LoadProfile(const std::filesystem::path& path, MouseSettings& settings) {
    // One read of the file serves all 25 lookups; the result equals one lookup per key.
    IniFile file;
    file.Load(path);
    for (const ProfileKey& key : kKeys) {
        const std::optional<std::string> value = file.Get(kProfileSection, key.name);
        const std::string_view found = value ? std::string_view(*value) : key.default_text;
        SetProfileValue(key, settings, text::TruncateUtf16(found, kValueChars - 1));
    }
}

bool SaveProfile(const std::filesystem::path& path, const MouseSettings& settings) {
    std::vector<std::pair<std::string, std::string>> values;
    values.reserve(kKeys.size());
    for (const ProfileKey& key : kKeys) {
        values.emplace_back(std::string(key.name), FormatProfileValue(key, settings));
    }
    const bool saved = WritePrivateProfileStrings(kProfileSection, values, path);
    // A failed write is reported by the INI layer; a good one is an observable effect of its own.
    if (saved) platform::Report("profile.save", path.string());
    return saved;
}

}  // namespace mivo
