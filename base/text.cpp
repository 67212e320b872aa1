// Text conversions and comparisons for UTF-8 strings.
#include "base/text.h"

#include <array>
#include <climits>

namespace mivo::text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `s[i]`. Returns the number of bytes used, or 0 when the bytes there
// are not a valid, shortest-form sequence of a scalar value.
size_t DecodeOne(std::string_view s, size_t i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    size_t len;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    out = cp;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<char16_t>(cp);
    }
}

// Next code point of UTF-8 text; invalid bytes count as one U+FFFD each.
char32_t Next(std::string_view s, size_t& i) {
    char32_t cp;
    const size_t n = DecodeOne(s, i, cp);
    if (n == 0) {
        ++i;
        return kReplacement;
    }
    i += n;
    return cp;
}

// 0x80-0x9F of Windows-1252; the five undefined bytes keep their C1 value.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) AppendUtf16(out, Next(utf8, i));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToUtf16LeBytes(std::string_view utf8) {
    const std::u16string units = Utf8ToUtf16(utf8);
    std::string out;
    out.reserve(units.size() * 2);
    for (char16_t u : units) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

std::string Utf16LeBytesToUtf8(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return Utf16ToUtf8(units);
}

char32_t Cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kCp1252High[byte - 0x80];
    return byte;
}

std::string DecodeText8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const size_t n = DecodeOne(bytes, i, cp);
        if (n == 0) {
            AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            out.append(bytes.substr(i, n));
            i += n;
        }
    }
    return out;
}

size_t Utf16Length(std::string_view utf8) {
    size_t units = 0;
    for (size_t i = 0; i < utf8.size();) units += Next(utf8, i) >= 0x10000 ? 2 : 1;
    return units;
}

std::string_view TruncateUtf16(std::string_view utf8, size_t max_units) {
    size_t units = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t next = i;
        const size_t width = Next(utf8, next) >= 0x10000 ? 2 : 1;
        if (units + width > max_units) break;
        units += width;
        i = next;
    }
    return utf8.substr(0, i);
}

char32_t FoldCase(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs upper/lower, even/odd except in 0x139-0x148 and 0x179-0x17E where they are odd/even.
        if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (c == 0x178) return 0xFF;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (FoldCase(Next(a, i)) != FoldCase(Next(b, j))) return false;
    }
    return i == a.size() && j == b.size();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return TrimRight(s);
}

int32_t ParseLong(std::string_view s, int base) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (base == 16 && i + 2 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        // Only a prefix when a hex digit follows, as strtol does ("0x" alone reads as 0).
        const char d = s[i + 2];
        if ((d >= '0' && d <= '9') || ((d | 0x20) >= 'a' && (d | 0x20) <= 'f')) i += 2;
    }
    int64_t value = 0;
    bool overflow = false;
    for (; i < s.size(); ++i) {
        int digit;
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            digit = (c | 0x20) - 'a' + 10;
        } else {
            break;
        }
        if (digit >= base) break;
        if (!overflow) {
            value = value * base + digit;
            if (value > static_cast<int64_t>(INT32_MAX) + 1) overflow = true;
        }
    }
    if (negative) value = -value;
    if (overflow || value > INT32_MAX) return negative ? INT32_MIN : INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace mivo::text
