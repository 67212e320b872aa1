// Headless script engine: a plain-text list of input commands that drives the simulated desktop's
// modal loops, so the whole program runs without a display.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/sim/sim_desktop.h"

namespace mivo::platform {
class ImageCodec;
}

namespace mivo::platform::sim {

class SimHidBus;

enum class ScriptOp {
    Move,        // move W X Y
    Down,        // down W X Y
    Up,          // up W X Y
    Click,       // click W X Y
    DoubleClick, // dblclick W X Y
    Key,         // key W enter|escape|close
    Wait,        // wait MS
    Tray,        // tray press|rpress|dblclick
    Menu,        // menu show|exit
    SecondCopy,  // second-copy
    Mouse,       // mouse unplug|plug|dpi-button|refuse CODE|refuse none|version N
    Screenshot,  // screenshot W NAME
};

enum class MouseOp { Unplug, Plug, DpiButton, Refuse, RefuseNone, Version };

struct ScriptCommand {
    int line = 0;          // 1-based line in the script
    std::string text;      // the command as written (comment stripped, trimmed)
    ScriptOp op = ScriptOp::Wait;
    std::string window;    // main, devcheck or reset
    int x = 0, y = 0;
    WindowCommand key = WindowCommand::Enter;
    int64_t ms = 0;
    TrayEvent tray = TrayEvent::LeftDown;
    int menu_command = 0;
    MouseOp mouse = MouseOp::Plug;
    int value = 0;         // refused command byte, or firmware version
    std::string name;      // screenshot file name
};

struct ScriptError {
    int line = 0;          // 0: the script as a whole (it could not be read)
    std::string message;
    // "script:<line>: <message>", ready for standard error.
    std::string Text() const;
};

struct ParsedScript {
    std::vector<ScriptCommand> commands;
    std::optional<ScriptError> error;  // set: commands is empty and the program must not run
};

// The exit status of a program whose script does not parse.
inline constexpr int kScriptErrorExit = 2;
// Menu commands of the notification-area menu.
inline constexpr int kMenuShow = 32772;
inline constexpr int kMenuExit = 32774;

// Parses the whole script before anything runs; the first bad line is the error.
ParsedScript ParseScript(std::string_view text);
ParsedScript ParseScriptFile(const std::filesystem::path& file);

// What the commands reach beyond the desktop.
struct ScriptHooks {
    // Starts a second copy of the program in-process against the same desktop and returns its
    // exit code. Without it, "second-copy" is logged as unavailable.
    std::function<int()> second_copy;
    // The simulated mouse the "mouse" commands act on; without it they are logged as unavailable.
    SimHidBus* hid = nullptr;
    // PNG encoder for screenshots; null: the codec of the installed platform services.
    ImageCodec* codec = nullptr;
    // Where screenshots go; empty: the current directory. Created when missing.
    std::filesystem::path screenshot_dir;
};

// Runs a parsed script as the desktop's input. Each command is logged as "script <line> <text>"
// before it runs.
class ScriptRunner {
public:
    ScriptRunner(SimDesktop& desktop, Diagnostics& log, std::vector<ScriptCommand> commands, ScriptHooks hooks);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Installs the runner as the desktop's driver and runs `program` (the start-up, which runs
    // the modal loops that pull the commands). At the end of the script the loops unwind as on
    // the exit command. Logs "app.exit <code>" and returns the program's exit code.
    int Run(const std::function<int()>& program);

    // Performs the next command; false when none is left. Reentrant: a command may start a
    // nested modal loop that pulls the following commands.
    bool Step();
    size_t Remaining() const { return commands_.size() - next_; }

private:
    void Perform(const ScriptCommand& command);
    void Pointer(const ScriptCommand& command);
    void MouseCommand(const ScriptCommand& command);
    void Screenshot(const ScriptCommand& command);
    void Log(std::string_view name, const std::string& args);

    SimDesktop& desktop_;
    Diagnostics& log_;
    std::vector<ScriptCommand> commands_;
    ScriptHooks hooks_;
    size_t next_ = 0;
    bool ended_logged_ = false;
    std::set<int> refused_;  // command bytes the script made the mouse refuse
};

}  // namespace mivo::platform::sim
