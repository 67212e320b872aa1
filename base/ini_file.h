// Private-profile (INI) files: the lookup and update rules every INI-style file of the program uses.
//
// Rules: section and key names match without regard to case and the first match wins (also across
// repeated sections of the same name); names and values are trimmed of blanks; a value enclosed in
// matching single or double quotes loses them on read; lines starting with ';' are comments; a line
// without '=' inside a section is a key with an empty value. A file that starts with a UTF-16 LE
// byte-order mark is read and written as UTF-16 LE; any other file is read as 8-bit text (UTF-8,
// with Windows-1252 for bytes that are not UTF-8) and new lines are written as UTF-8. A write keeps
// every other line byte for byte and replaces the file atomically.
#pragma once
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mivo {

// One INI file held in memory, line by line, so that it can be written back unchanged except for
// the lines a Set touched.
class IniFile {
public:
    enum class Encoding { Text8, Utf16Le };

    // Reads `path`; a missing or unreadable file gives an empty document and false.
    bool Load(const std::filesystem::path& path);
    // Parses bytes as they would be found in a file.
    void Parse(std::string_view bytes);

    // The value of the first `key` in a section named `section`, trimmed and unquoted.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the first matching key's line, or adds the key at the end of the first matching
    // section, or appends the section with the key at the end of the document. False (and nothing
    // changed) when a name is empty or a name or value would not survive a round trip (line
    // breaks; '=' or a leading ';' or '[' in a key; ']' in a section).
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The document as file bytes: untouched lines exactly as read.
    std::string Serialize() const;
    // Writes the document atomically (see fileio::WriteFileAtomically).
    bool Save(const std::filesystem::path& path) const;

    Encoding encoding() const { return encoding_; }

private:
    struct Line {
        std::string raw;   // bytes as in the file, terminator included
        std::string text;  // decoded UTF-8 without the terminator
        bool has_eol = false;
    };
    std::string EncodeLine(std::string_view text, bool with_eol) const;

    Encoding encoding_ = Encoding::Text8;
    std::string bom_;
    std::string eol_ = "\r\n";
    std::vector<Line> lines_;
};

// The value of `key` under `section` of the file at `path`, or `default_value` (trailing blanks
// removed) when the file, section or key is missing. The result holds at most max_chars - 1 UTF-16
// code units (none when max_chars is 0).
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value,
                                    const std::filesystem::path& path, size_t max_chars);

// The value read as a decimal integer (leading blanks, optional sign, digits up to the first other
// character; no digits gives 0), or `default_value` when the key is missing or its value empty.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::filesystem::path& path);

// Sets `key` under `section` to `value`, creating the file or section when missing. False, with
// the old file left intact and "ini.write-failed <path>" reported, when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& path);

// Several keys of one section in one atomic file replacement, in the order given; the result is
// the same as one WritePrivateProfileString per pair.
bool WritePrivateProfileStrings(std::string_view section,
                                std::span<const std::pair<std::string, std::string>> values,
                                const std::filesystem::path& path);

}  // namespace mivo
