// Private-profile (INI) files: parsing, lookup and in-place update that keeps untouched lines.
#include "base/ini_file.h"

#include "base/file_io.h"
#include "base/text.h"
#include "platform/platform.h"

namespace mivo {

namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed
};

ParsedLine ParseLine(std::string_view text) {
    ParsedLine p;
    const std::string_view t = text::Trim(text);
    if (t.empty() || t.front() == ';') return p;
    if (t.front() == '[') {
        const size_t close = t.find(']');
        if (close == std::string_view::npos) return p;  // broken header: ignored
        p.kind = LineKind::Section;
        p.name = text::Trim(t.substr(1, close - 1));
        return p;
    }
    p.kind = LineKind::Key;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        p.name = t;  // a key without '=' has an empty value
    } else {
        p.name = text::TrimRight(t.substr(0, eq));
        p.value = text::Trim(t.substr(eq + 1));
    }
    return p;
}

std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

}  // namespace

bool IniFile::Load(const std::filesystem::path& path) {
    const std::optional<std::string> bytes = fileio::ReadFileBytes(path);
    Parse(bytes ? *bytes : std::string());
    return bytes.has_value();
}

void IniFile::Parse(std::string_view bytes) {
    lines_.clear();
    bom_.clear();
    eol_ = "\r\n";
    encoding_ = Encoding::Text8;
    if (bytes.starts_with(kUtf16LeBom)) {
        encoding_ = Encoding::Utf16Le;
        bom_ = kUtf16LeBom;
    } else if (bytes.starts_with(kUtf8Bom)) {
        bom_ = kUtf8Bom;
    }
    bytes.remove_prefix(bom_.size());

    const size_t unit = encoding_ == Encoding::Utf16Le ? 2 : 1;
    bool eol_known = false;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = start;  // index of the '\n' unit, or the end
        while (end + unit <= bytes.size()) {
            if (bytes[end] == '\n' && (unit == 1 || bytes[end + 1] == '\0')) break;
            end += unit;
        }
        Line line;
        line.has_eol = end + unit <= bytes.size();
        const size_t stop = line.has_eol ? end + unit : bytes.size();
        line.raw.assign(bytes.substr(start, stop - start));
        const std::string_view body = bytes.substr(start, std::min(end, bytes.size()) - start);
        line.text = encoding_ == Encoding::Utf16Le ? text::Utf16LeBytesToUtf8(body)
                                                   : text::DecodeText8(body);
        const bool cr = !line.text.empty() && line.text.back() == '\r';
        if (cr) line.text.pop_back();
        if (line.has_eol && !eol_known) {
            eol_ = cr ? "\r\n" : "\n";
            eol_known = true;
        }
        lines_.push_back(std::move(line));
        start = stop;
    }
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    bool in_section = false;
    for (const Line& line : lines_) {
        const ParsedLine p = ParseLine(line.text);
        if (p.kind == LineKind::Section) {
            in_section = text::EqualsNoCase(p.name, section);
        } else if (p.kind == LineKind::Key && in_section && text::EqualsNoCase(p.name, key)) {
            return std::string(Unquote(p.value));
        }
    }
    return std::nullopt;
}

std::string IniFile::EncodeLine(std::string_view line, bool with_eol) const {
    std::string s(line);
    if (with_eol) s += eol_;
    return encoding_ == Encoding::Utf16Le ? text::Utf8ToUtf16LeBytes(s) : s;
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    section = text::Trim(section);
    key = text::Trim(key);
    if (section.empty() || key.empty()) return false;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos) return false;
    if (key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[') {
        return false;
    }
    std::string entry(key);
    entry += '=';
    entry += value;

    // An existing key is replaced where it stands.
    bool in_section = false;
    size_t header = lines_.size();  // the first matching section header
    for (size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine p = ParseLine(lines_[i].text);
        if (p.kind == LineKind::Section) {
            in_section = text::EqualsNoCase(p.name, section);
            if (in_section && header == lines_.size()) header = i;
        } else if (p.kind == LineKind::Key && in_section && text::EqualsNoCase(p.name, key)) {
            Line& line = lines_[i];
            line.raw = EncodeLine(entry, false);
            if (line.has_eol) line.raw += EncodeLine("", true);
            line.text = entry;
            return true;
        }
    }
    const bool section_found = header != lines_.size();
    // A new key goes after the last non-blank line of the first matching section, so that blank
    // lines separating it from the next section stay where they are.
    size_t first_section_end = header + 1;
    if (section_found) {
        for (size_t i = header + 1; i < lines_.size(); ++i) {
            if (ParseLine(lines_[i].text).kind == LineKind::Section) break;
            if (!text::Trim(lines_[i].text).empty()) first_section_end = i + 1;
        }
    }

    auto make_line = [&](std::string_view text) {
        Line line;
        line.text = std::string(text);
        line.raw = EncodeLine(text, true);
        line.has_eol = true;
        return line;
    };
    auto terminate = [&](size_t before) {
        // The line before an insertion must end with a line break.
        if (before > 0 && !lines_[before - 1].has_eol) {
            lines_[before - 1].raw += EncodeLine("", true);
            lines_[before - 1].has_eol = true;
        }
    };
    if (section_found) {
        terminate(first_section_end);
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(first_section_end),
                      make_line(entry));
        return true;
    }
    terminate(lines_.size());
    std::string heading = "[";
    heading += section;
    heading += ']';
    lines_.push_back(make_line(heading));
    lines_.push_back(make_line(entry));
    return true;
}

std::string IniFile::Serialize() const {
    std::string out = bom_;
    for (const Line& line : lines_) out += line.raw;
    return out;
}

bool IniFile::Save(const std::filesystem::path& path) const {
    return fileio::WriteFileAtomically(path, Serialize());
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view default_value,
                                    const std::filesystem::path& path, size_t max_chars) {
    if (max_chars == 0) return {};
    IniFile file;
    file.Load(path);
    const std::optional<std::string> value = file.Get(section, key);
    const std::string_view result = value ? std::string_view(*value) : text::TrimRight(default_value);
    return std::string(text::TruncateUtf16(result, max_chars - 1));
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int default_value,
                         const std::filesystem::path& path) {
    IniFile file;
    file.Load(path);
    const std::optional<std::string> value = file.Get(section, key);
    if (!value || value->empty()) return default_value;
    return text::ParseLong(*value, 10);
}

bool WritePrivateProfileStrings(std::string_view section,
                                std::span<const std::pair<std::string, std::string>> values,
                                const std::filesystem::path& path) {
    IniFile file;
    file.Load(path);
    bool ok = true;
    for (const auto& [key, value] : values) ok = file.Set(section, key, value) && ok;
    if (!ok) {
        platform::Report("ini.write-refused", path.string());
        return false;
    }
    if (!file.Save(path)) {
        platform::Report("ini.write-failed", path.string());
        return false;
    }
    return true;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::filesystem::path& path) {
    const std::pair<std::string, std::string> one{std::string(key), std::string(value)};
    return WritePrivateProfileStrings(section, std::span(&one, 1), path);
}

}  // namespace mivo
