// Whole-file reads and crash-safe whole-file replacement, on std::filesystem and fstreams.
#include "base/file_io.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace mivo::fileio {

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::filesystem::path TempPathFor(const std::filesystem::path& path) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    return temp;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path temp = TempPathFor(path);
    std::error_code ec;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;  // nothing was created, nothing to clean up
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        const bool written = static_cast<bool>(out);
        out.close();
        if (!written || out.fail()) {
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    // The rename replaces the old file in one step: readers see either the old or the new bytes.
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return false;
    }
    return true;
}

}  // namespace mivo::fileio
