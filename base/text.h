// Text helpers for the core's one string type (UTF-8 std::string): UTF-16 conversion, 8-bit
// decoding with a Windows-1252 fallback, case-insensitive name comparison, C-like number parsing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mivo::text {

// UTF-8 to UTF-16; every byte that is not part of a valid UTF-8 sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Little-endian byte form of UTF-16 (no byte-order mark) and back. An odd trailing byte is dropped.
std::string Utf8ToUtf16LeBytes(std::string_view utf8);
std::string Utf16LeBytesToUtf8(std::string_view bytes);

// Decodes 8-bit text: valid UTF-8 sequences are kept, every other byte is read as Windows-1252.
// The result is always valid UTF-8.
std::string DecodeText8(std::string_view bytes);
// The Unicode code point of one Windows-1252 byte (undefined bytes map to the C1 control of the
// same value, as the system's converter does).
char32_t Cp1252ToUnicode(unsigned char byte);

// Length of a UTF-8 string in UTF-16 code units.
size_t Utf16Length(std::string_view utf8);
// The longest prefix of `utf8` that fits in `max_units` UTF-16 code units without splitting a
// character.
std::string_view TruncateUtf16(std::string_view utf8, size_t max_units);

// Simple case folding of one code point (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic,
// full-width Latin); other code points are returned unchanged.
char32_t FoldCase(char32_t c);
// Compares two UTF-8 names without regard to case.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Blanks as the C library's isspace sees them: space, tab, CR, LF, VT, FF.
bool IsBlank(char c);
std::string_view Trim(std::string_view s);
std::string_view TrimRight(std::string_view s);

// Parses like the C library's strtol on a 32-bit long: leading blanks, optional sign, digits of
// `base` (10 or 16; base 16 accepts an optional "0x"/"0X"), stopping at the first other
// character. No digits gives 0; out-of-range values saturate at INT32_MIN / INT32_MAX.
int32_t ParseLong(std::string_view s, int base = 10);

}  // namespace mivo::text
