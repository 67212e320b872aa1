// The event log of a run on the real desktop.
#include "app/file_event_log.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace mivo {

bool FileEventLog::Open(const std::filesystem::path& file) {
    if (file.empty()) return true;
    if (file == "-") {
        stdout_ = true;
        return true;
    }
    out_.open(file, std::ios::out | std::ios::trunc);
    return out_.is_open();
}

void FileEventLog::Event(std::string_view name, std::string_view args) {
    if (!stdout_ && !out_.is_open()) return;
    using namespace std::chrono;
    std::string line = std::to_string(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    line += ' ';
    line += name;
    if (!args.empty()) {
        line += ' ';
        line += args;
    }
    line += '\n';
    if (stdout_) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fflush(stdout);
    } else {
        out_ << line;
        out_.flush();
    }
}

}  // namespace mivo
