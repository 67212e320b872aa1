// The profile file "1.cfg": the settings record stored as 25 decimal keys under "ConfigData".
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "settings/mouse_settings.h"

namespace mivo {

inline constexpr std::string_view kProfileSection = "ConfigData";
inline constexpr std::string_view kProfileFileName = "1.cfg";

// One key of the profile: its name, the text read when it is missing, and the field it stores.
struct ProfileKey {
    std::string_view name;
    std::string_view default_text;
    // Key1-Key6: "0x" texts are hexadecimal and only the low 8 bits are stored.
    bool is_button_key;
    int32_t (*get)(const MouseSettings&);
    void (*set)(MouseSettings&, int32_t);
};

// The 25 keys in the order they are read and written.
const std::array<ProfileKey, 25>& ProfileKeys();
// The key whose name matches without regard to case, or null.
const ProfileKey* FindProfileKey(std::string_view name);

// The number a profile text stands for under `key` (decimal in the manner of the C library; for
// Key1-Key6 a text beginning with "0x" is hexadecimal and the result is cut to its low 8 bits).
int32_t ParseProfileValue(const ProfileKey& key, std::string_view text);
// Stores a profile text into the field of `key`.
void SetProfileValue(const ProfileKey& key, MouseSettings& settings, std::string_view text);
// The text written for the field of `key` ("%d"; Key bytes as 0-255).
std::string FormatProfileValue(const ProfileKey& key, const MouseSettings& settings);

// GetModuleDir() / "1.cfg", built afresh at each call.
std::filesystem::path ProfilePath();

// Fills every field from the file; missing file, section or keys give the default texts.
void LoadProfile(const std::filesystem::path& path, MouseSettings& settings);
// Writes all 25 keys in one atomic replacement of the file. False when the file could not be
// written (the old file is then left intact and the failure reported).
bool SaveProfile(const std::filesystem::path& path, const MouseSettings& settings);

}  // namespace mivo
