// Event log of the simulated platform: one line per observable effect, "<ms> <event> <args>".
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/diagnostics.h"

namespace mivo::platform::sim {

class EventLog final : public Diagnostics {
public:
    explicit EventLog(Clock& clock) : clock_(clock) {}

    void Event(std::string_view name, std::string_view args) override;

    // Every line so far, oldest first, without the trailing newline.
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines whose event name equals `name`.
    std::vector<std::string> Lines(std::string_view name) const;
    void Clear() { lines_.clear(); }

    // Also writes every line, as it happens, to this file ("-" or "/dev/stdout" for standard output).
    bool TeeTo(const std::filesystem::path& file);

private:
    Clock& clock_;
    std::vector<std::string> lines_;
    std::ofstream tee_;
    bool tee_stdout_ = false;
};

// Formats bytes as upper-case hex pairs, one space apart ("03 C0 00 ...").
std::string HexBytes(const uint8_t* data, size_t size);

}  // namespace mivo::platform::sim
