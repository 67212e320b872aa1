// Event log of the simulated platform.
#include "platform/sim/event_log.h"

#include <cstdio>

namespace mivo::platform::sim {

void EventLog::Event(std::string_view name, std::string_view args) {
    std::string line = std::to_string(clock_.Now());
    line += ' ';
    line += name;
    if (!args.empty()) {
        line += ' ';
        line += args;
    }
    if (tee_stdout_) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    } else if (tee_.is_open()) {
        tee_ << line << '\n';
        tee_.flush();
    }
    lines_.push_back(std::move(line));
}

std::vector<std::string> EventLog::Lines(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& line : lines_) {
        auto first = line.find(' ');
        if (first == std::string::npos) continue;
        auto rest = std::string_view(line).substr(first + 1);
        auto end = rest.find(' ');
        if (rest.substr(0, end) == name) out.push_back(line);
    }
    return out;
}

bool EventLog::TeeTo(const std::filesystem::path& file) {
    if (file == "-" || file == "/dev/stdout") {
        tee_stdout_ = true;
        return true;
    }
    tee_.open(file, std::ios::out | std::ios::trunc);
    return tee_.is_open();
}

std::string HexBytes(const uint8_t* data, size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i) out += ' ';
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 15];
    }
    return out;
}

}  // namespace mivo::platform::sim
