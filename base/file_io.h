// Whole-file reads and crash-safe whole-file replacement.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mivo::fileio {

// The bytes of a regular file; nothing when it is missing, not a regular file, or unreadable.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Replaces `path` with `bytes` atomically: the bytes go to a temporary file beside it
// (TempPathFor), which is flushed, closed and then renamed over `path`. On any failure the
// temporary is removed, the old file (if any) is left exactly as it was, and false is returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// The temporary file WriteFileAtomically uses for `path`: the same name with ".tmp" appended.
std::filesystem::path TempPathFor(const std::filesystem::path& path);

}  // namespace mivo::fileio
