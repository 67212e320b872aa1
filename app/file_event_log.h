// The event log of a run on the real desktop, written to a file or standard output as it happens.
#pragma once
#include <filesystem>
#include <fstream>
#include <string_view>

#include "platform/diagnostics.h"

namespace mivo {

// Each line is written as it happens and nothing is kept in memory (the program may run for
// days). Times are milliseconds of the steady (high-resolution) clock, since the log is what
// shows the pauses between reports.
class FileEventLog final : public platform::Diagnostics {
public:
    // Opens `file` ("-" for standard output); an empty path drops every event.
    bool Open(const std::filesystem::path& file);
    void Event(std::string_view name, std::string_view args) override;

private:
    std::ofstream out_;
    bool stdout_ = false;
};

}  // namespace mivo
