// Headless script engine.
#include "platform/sim/script.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "platform/image_codec.h"
#include "platform/platform.h"
#include "platform/sim/sim_hid.h"

namespace mivo::platform::sim {

namespace {

// Longest wait one command may ask for (a day); longer is surely a typo.
constexpr int64_t kMaxWaitMs = 24LL * 60 * 60 * 1000;

std::vector<std::string_view> Split(std::string_view line) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

template <typename T>
bool ParseNumber(std::string_view token, T& out, int base = 10) {
    if (token.empty()) return false;
    auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), out, base);
    return ec == std::errc() && end == token.data() + token.size();
}

// "0x1A" or "26".
bool ParseDecOrHex(std::string_view token, int64_t& out) {
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        return ParseNumber(token.substr(2), out, 16);
    }
    return ParseNumber(token, out);
}

bool IsWindowName(std::string_view name) { return name == "main" || name == "devcheck" || name == "reset"; }

std::string Quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

// Parses one non-empty command line; returns an error message, or nothing on success.
std::optional<std::string> ParseLine(const std::vector<std::string_view>& t, ScriptCommand& c) {
    const std::string_view verb = t[0];
    const size_t args = t.size() - 1;
    auto want = [&](size_t n, const char* usage) -> std::optional<std::string> {
        if (args != n) return "'" + std::string(verb) + "' takes " + usage;
        return std::nullopt;
    };
    auto window = [&](std::string_view name) -> std::optional<std::string> {
        if (!IsWindowName(name)) return "unknown window " + Quoted(name) + " (main, devcheck or reset)";
        c.window = std::string(name);
        return std::nullopt;
    };

    if (verb == "move" || verb == "down" || verb == "up" || verb == "click" || verb == "dblclick") {
        if (auto e = want(3, "W X Y")) return e;
        if (auto e = window(t[1])) return e;
        if (!ParseNumber(t[2], c.x)) return "bad x coordinate " + Quoted(t[2]);
        if (!ParseNumber(t[3], c.y)) return "bad y coordinate " + Quoted(t[3]);
        c.op = verb == "move"    ? ScriptOp::Move
               : verb == "down"  ? ScriptOp::Down
               : verb == "up"    ? ScriptOp::Up
               : verb == "click" ? ScriptOp::Click
                                 : ScriptOp::DoubleClick;
        return std::nullopt;
    }
    if (verb == "key") {
        if (auto e = want(2, "W enter|escape|close")) return e;
        if (auto e = window(t[1])) return e;
        if (t[2] == "enter") {
            c.key = WindowCommand::Enter;
        } else if (t[2] == "escape") {
            c.key = WindowCommand::Escape;
        } else if (t[2] == "close") {
            c.key = WindowCommand::Close;
        } else {
            return "unknown key " + Quoted(t[2]) + " (enter, escape or close)";
        }
        c.op = ScriptOp::Key;
        return std::nullopt;
    }
    if (verb == "wait") {
        if (auto e = want(1, "MS")) return e;
        if (!ParseNumber(t[1], c.ms) || c.ms < 0 || c.ms > kMaxWaitMs) {
            return "bad wait " + Quoted(t[1]) + " (milliseconds, 0 to " + std::to_string(kMaxWaitMs) + ")";
        }
        c.op = ScriptOp::Wait;
        return std::nullopt;
    }
    if (verb == "tray") {
        if (auto e = want(1, "press|rpress|dblclick")) return e;
        if (t[1] == "press") {
            c.tray = TrayEvent::LeftDown;
        } else if (t[1] == "rpress") {
            c.tray = TrayEvent::RightDown;
        } else if (t[1] == "dblclick") {
            c.tray = TrayEvent::LeftDoubleClick;
        } else {
            return "unknown tray event " + Quoted(t[1]) + " (press, rpress or dblclick)";
        }
        c.op = ScriptOp::Tray;
        return std::nullopt;
    }
    if (verb == "menu") {
        if (auto e = want(1, "show|exit")) return e;
        if (t[1] == "show") {
            c.menu_command = kMenuShow;
        } else if (t[1] == "exit") {
            c.menu_command = kMenuExit;
        } else {
            return "unknown menu command " + Quoted(t[1]) + " (show or exit)";
        }
        c.op = ScriptOp::Menu;
        return std::nullopt;
    }
    if (verb == "second-copy") {
        if (auto e = want(0, "no arguments")) return e;
        c.op = ScriptOp::SecondCopy;
        return std::nullopt;
    }
    if (verb == "mouse") {
        c.op = ScriptOp::Mouse;
        if (args == 0) return "'mouse' takes unplug|plug|dpi-button|refuse CODE|refuse none|version N";
        const std::string_view what = t[1];
        if (what == "unplug" || what == "plug" || what == "dpi-button") {
            if (args != 1) return "'mouse " + std::string(what) + "' takes no more arguments";
            c.mouse = what == "unplug" ? MouseOp::Unplug : what == "plug" ? MouseOp::Plug : MouseOp::DpiButton;
            return std::nullopt;
        }
        if (what == "refuse") {
            if (args != 2) return "'mouse refuse' takes a command byte (e.g. C0) or none";
            if (t[2] == "none") {
                c.mouse = MouseOp::RefuseNone;
                return std::nullopt;
            }
            std::string_view hex = t[2];
            if (hex.size() > 2 && hex[0] == '0' && (hex[1] == 'x' || hex[1] == 'X')) hex.remove_prefix(2);
            int code = 0;
            if (hex.size() > 2 || !ParseNumber(hex, code, 16)) return "bad command byte " + Quoted(t[2]);
            c.mouse = MouseOp::Refuse;
            c.value = code;
            return std::nullopt;
        }
        if (what == "version") {
            if (args != 2) return "'mouse version' takes a number";
            int64_t v = 0;
            if (!ParseDecOrHex(t[2], v) || v < 0 || v > 0xFFFF) return "bad version " + Quoted(t[2]) + " (0 to 65535)";
            c.mouse = MouseOp::Version;
            c.value = static_cast<int>(v);
            return std::nullopt;
        }
        return "unknown mouse action " + Quoted(what);
    }
    if (verb == "screenshot") {
        if (auto e = want(2, "W NAME")) return e;
        if (auto e = window(t[1])) return e;
        const std::string_view name = t[2];
        // The picture stays inside the screenshot folder: a plain file name only.
        if (name == "." || name == ".." || name.find('/') != std::string_view::npos ||
            name.find('\\') != std::string_view::npos) {
            return "bad screenshot name " + Quoted(name) + " (a plain file name)";
        }
        c.name = std::string(name);
        if (std::filesystem::path(c.name).extension() != ".png") c.name += ".png";
        c.op = ScriptOp::Screenshot;
        return std::nullopt;
    }
    return "unknown command " + Quoted(verb);
}

}  // namespace

std::string ScriptError::Text() const {
    if (line <= 0) return "script: " + message;
    return "script:" + std::to_string(line) + ": " + message;
}

ParsedScript ParseScript(std::string_view text) {
    ParsedScript result;
    int line_number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_number;

        if (auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.remove_suffix(1);
        }
        auto tokens = Split(line);
        if (tokens.empty()) continue;

        ScriptCommand command;
        command.line = line_number;
        for (auto token : tokens) {
            if (!command.text.empty()) command.text += ' ';
            command.text += token;
        }
        if (auto error = ParseLine(tokens, command)) {
            result.commands.clear();
            result.error = ScriptError{line_number, *error};
            return result;
        }
        result.commands.push_back(std::move(command));
        if (end == text.size()) break;
    }
    return result;
}

ParsedScript ParseScriptFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        ParsedScript result;
        result.error = ScriptError{0, "cannot read " + file.string()};
        return result;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseScript(text);
}

// ---------------------------------------------------------------- runner

ScriptRunner::ScriptRunner(SimDesktop& desktop, Diagnostics& log, std::vector<ScriptCommand> commands,
                           ScriptHooks hooks)
    : desktop_(desktop), log_(log), commands_(std::move(commands)), hooks_(std::move(hooks)) {}

ScriptRunner::~ScriptRunner() { desktop_.SetDriver(nullptr); }

void ScriptRunner::Log(std::string_view name, const std::string& args) { log_.Event(name, args); }

int ScriptRunner::Run(const std::function<int()>& program) {
    desktop_.SetDriver([this] { return Step(); });
    const int code = program();
    // Lines handed over by other threads (pages opened) still belong to this run.
    desktop_.Pump();
    if (Remaining() > 0) {
        Log("script.unused",
            std::to_string(Remaining()) + " from line " + std::to_string(commands_[next_].line));
    }
    Log("app.exit", std::to_string(code));
    desktop_.SetDriver(nullptr);
    return code;
}

bool ScriptRunner::Step() {
    if (next_ >= commands_.size()) {
        if (!ended_logged_) {
            ended_logged_ = true;
            Log("script.end", {});
        }
        return false;
    }
    // Copied: a nested loop started by this command pulls the next ones meanwhile.
    const ScriptCommand command = commands_[next_++];
    Log("script", std::to_string(command.line) + " " + command.text);
    Perform(command);
    return true;
}

void ScriptRunner::Perform(const ScriptCommand& c) {
    switch (c.op) {
        case ScriptOp::Move:
        case ScriptOp::Down:
        case ScriptOp::Up:
        case ScriptOp::Click:
        case ScriptOp::DoubleClick:
            Pointer(c);
            break;
        case ScriptOp::Key:
            desktop_.Key(c.window, c.key);
            break;
        case ScriptOp::Wait:
            desktop_.Wait(c.ms);
            break;
        case ScriptOp::Tray:
            desktop_.Tray(c.tray);
            break;
        case ScriptOp::Menu:
            desktop_.ChooseMenu(c.menu_command);
            break;
        case ScriptOp::SecondCopy:
            if (!hooks_.second_copy) {
                Log("second-copy.unavailable", {});
                break;
            }
            Log("second-copy.start", {});
            Log("second-copy.exit", std::to_string(hooks_.second_copy()));
            break;
        case ScriptOp::Mouse:
            MouseCommand(c);
            break;
        case ScriptOp::Screenshot:
            Screenshot(c);
            break;
    }
}

void ScriptRunner::Pointer(const ScriptCommand& c) {
    using Action = SimDesktop::MouseAction;
    // The pointer travels to the point before pressing there, as a real one does.
    if (c.op != ScriptOp::Move) {
        auto point = desktop_.ScreenPoint(c.window, c.x, c.y);
        if (point && *point != desktop_.CursorPos()) {
            if (!desktop_.Mouse(c.window, Action::Move, c.x, c.y)) return;
            desktop_.Pump();
        }
    }
    std::vector<Action> events;
    switch (c.op) {
        case ScriptOp::Move: events = {Action::Move}; break;
        case ScriptOp::Down: events = {Action::Down}; break;
        case ScriptOp::Up: events = {Action::Up}; break;
        case ScriptOp::Click: events = {Action::Down, Action::Up}; break;
        // The system's sequence for a double click: press, release, double-click press, release.
        case ScriptOp::DoubleClick: events = {Action::Down, Action::Up, Action::DoubleClick, Action::Up}; break;
        default: return;
    }
    for (size_t i = 0; i < events.size(); ++i) {
        if (i > 0) desktop_.Pump();
        if (!desktop_.Mouse(c.window, events[i], c.x, c.y)) return;
    }
}

void ScriptRunner::MouseCommand(const ScriptCommand& c) {
    if (hooks_.hid == nullptr) {
        Log("mouse.unavailable", c.text);
        return;
    }
    SimHidBus& bus = *hooks_.hid;
    switch (c.mouse) {
        case MouseOp::Unplug: bus.Unplug(); break;
        case MouseOp::Plug: bus.Plug(); break;
        case MouseOp::DpiButton: bus.PressDpiButton(); break;
        case MouseOp::Refuse:
            bus.RefuseCommand(static_cast<uint8_t>(c.value), true);
            refused_.insert(c.value);
            break;
        case MouseOp::RefuseNone:
            for (int code : refused_) bus.RefuseCommand(static_cast<uint8_t>(code), false);
            refused_.clear();
            break;
        case MouseOp::Version: bus.SetVersion(static_cast<uint16_t>(c.value)); break;
    }
}

void ScriptRunner::Screenshot(const ScriptCommand& c) {
    // A hidden window still has its last frame; taking it is allowed (it is not input).
    SimDesktopWindow* window = desktop_.FindWindow(c.window);
    auto fail = [&](const char* why) { Log("screenshot.failed", c.window + " " + c.name + " " + why); };
    if (window == nullptr) return fail("no-window");
    if (window->Frame().IsNull()) return fail("no-frame");
    ImageCodec* codec = hooks_.codec != nullptr ? hooks_.codec : Current().codec;
    if (codec == nullptr) return fail("no-codec");
    std::vector<uint8_t> png = codec->EncodePng(window->Frame());
    if (png.empty()) return fail("encode");

    std::error_code ec;
    std::filesystem::path dir = hooks_.screenshot_dir.empty() ? std::filesystem::current_path(ec) : hooks_.screenshot_dir;
    std::filesystem::create_directories(dir, ec);
    const std::filesystem::path file = dir / c.name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) return fail("write");
    Log("screenshot", c.window + " " + file.string());
}

}  // namespace mivo::platform::sim
