// The mivo-config program: its own "--" options, the service set it installs, and the run.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace mivo {

struct ProgramOptions {
    bool simulate = false;        // --simulate: the built-in simulated mouse
    bool mouse_absent = false;    // --simulate=absent: it starts unplugged
    bool headless = false;        // --headless: the simulated desktop on the virtual clock
    bool help = false;            // --help
    std::filesystem::path script;          // --script FILE
    std::filesystem::path log;             // --log FILE ("-" for standard output)
    std::filesystem::path data_dir;        // --data-dir DIR: the module folder
    std::filesystem::path screenshot_dir;  // --screenshot-dir DIR
    std::optional<uint16_t> lang_id;       // --lang-id N: the user's language the platform reports
    // What is left once our options are taken out, words joined by single spaces; the window
    // compares it with "silent".
    std::string command_line;
};

// Takes every argument beginning with "--" as one of ours; anything else belongs to the command
// line. Returns an error message for an unknown option or a missing or bad value.
std::optional<std::string> ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options);

// The whole program: options, services, the start-up and (with --script) its input. Returns the
// exit status: the start-up's code, 2 for bad options or a script that does not parse.
int RunMivoConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mivo
