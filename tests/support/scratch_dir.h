// A fresh folder for one test: uniquely named under the temporary folder, owner-only, removed
// with everything in it when the object goes.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace mivo::test {

class ScratchDir {
public:
    explicit ScratchDir(std::string_view prefix = "mivo-test") {
        std::string name(prefix);
        if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
            name += '-';
            name += info->name();
        }
        std::random_device rd;
        name += '-' + std::to_string(rd()) + std::to_string(rd());
        for (char& c : name) {
            if (c == '/' || c == '\\') c = '_';
        }
        path_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::create_directories(path_);
        // Not writable by others, so code that treats shared temporary folders specially sees a private one.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for fixtures: bytes in and out, exactly as given.
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace mivo::test
