// The application object: single-copy hand-shake, language set-up, and the main window's modal run.
#pragma once
#include <string>

namespace mivo {

// Name of the lock that lets only one copy run.
inline constexpr char kSingleCopyLock[] = "MouseConfig";

class CMouseConfigApp {
public:
    // Start-up with the program's command line (our own "--" options already removed). Returns
    // the process exit code: 0 when a first copy's window ran and was closed by the exit command,
    // and 0 for a second copy, which only asks the first one to show itself.
    int Run(const std::string& command_line);
};

}  // namespace mivo
