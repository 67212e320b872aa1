// mivoctl command logic: argument parsing, value checks, and the commands on the core.
#include "cli/mivoctl.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <span>

#include "cli/host.h"
#include "device/apply.h"
#include "platform/clock.h"
#include "platform/sim/sim_platform.h"
#include "resources/paths.h"
#include "settings/mouse_settings.h"

namespace mivo::cli {

namespace {

constexpr int64_t kPollIntervalMs = 700;

const char kUsage[] =
    "usage: mivoctl [options] COMMAND [ARGS]\n"
    "\n"
    "Commands:\n"
    "  show              print the profile as the utility reads it, one Key=value line per key\n"
    "  set KEY=VALUE...  change profile values (each is checked; nothing is written on error)\n"
    "  apply             apply the profile: pointer settings, then the reports to the mouse\n"
    "  dpi               print the mouse's current dpi step\n"
    "  watch             poll the dpi step every 700 ms and print each change\n"
    "  reset             write the factory profile (the language is kept)\n"
    "\n"
    "Options:\n"
    "  --simulate          use the built-in simulated mouse\n"
    "  --simulate=absent   the same, with the mouse unplugged\n"
    "  --log FILE          write the event log to FILE (\"-\" for standard output)\n"
    "  --data-dir DIR      folder holding the profile 1.cfg (default: the program's folder)\n"
    "  --help              this text; COMMAND --help describes one command\n"
    "\n"
    "Exit status: 0 done; 1 no mouse, a report refused, or the profile could not be written;\n"
    "2 bad arguments or values; 3 no HID backend on this system (use --simulate).\n"
    "On Linux the mouse is reached through /dev/hidraw* (see the udev rule in res/linux/).\n";

struct CommandHelp {
    std::string_view name;
    std::string_view text;
};

const CommandHelp kCommandHelp[] = {
    {"show",
     "usage: mivoctl [options] show\n"
     "Prints every key of the profile in file order as Key=value with decimal values; missing\n"
     "keys show the values the utility reads for them.\n"},
    {"set",
     "usage: mivoctl [options] set KEY=VALUE [KEY=VALUE...]\n"
     "Changes profile keys. Allowed values:\n"
     "  CurDPI 250, 500, 1000, 1250, 1500, 1750, 2000; ScrollSpeed 1-10;\n"
     "  PointerSpeed, DClickSpeed 1-11; PollingRate 125, 250, 500, 1000;\n"
     "  MouseWheel, 1Page, DPISwitch250...DPISwitch2000, MouseAcceleration,\n"
     "  DisplayPointerTrails 0-1; HandedMode 1 (left), 2 (right);\n"
     "  AdjustEffect 1 (always on), 2 (breathing), 3 (off); Language 63-79;\n"
     "  Key1, Key2: 0x01 0x02 0x04 0x85 0x10 0x08 0x82 0x83 0x81;\n"
     "  Key3-Key6: 0x04 0x85 0x10 0x08 0x82 0x83 0x81 (codes decimal or 0x hex).\n"
     "Any bad value refuses the whole command (exit 2) and leaves the file as it was.\n"},
    {"apply",
     "usage: mivoctl [options] apply\n"
     "Writes the pointer settings, opens the mouse, forces buttons 1 and 2 from HandedMode,\n"
     "saves the profile and sends the eight reports. Exit 0 when the mouse accepted the end\n"
     "report, 1 when no mouse was found or a report was refused.\n"},
    {"dpi",
     "usage: mivoctl [options] dpi\n"
     "Asks the mouse for its current dpi step and prints it. Exit 1 without a mouse.\n"},
    {"watch",
     "usage: mivoctl [options] watch [--polls N] [--for MS]\n"
     "Asks the mouse for its dpi step every 700 ms and prints each change, until interrupted,\n"
     "or after N polls, or once MS milliseconds have passed.\n"},
    {"reset",
     "usage: mivoctl [options] reset\n"
     "Writes the factory settings to the profile, keeping its Language.\n"},
};

struct ButtonCode {
    uint8_t code;
    std::string_view name;
};

constexpr ButtonCode kButtonCodes[] = {
    {keycode::kClick, "click"},          {keycode::kMenu, "menu"},
    {keycode::kUniversalScroll, "universal scroll"}, {keycode::kDisabled, "disabled"},
    {keycode::kBrowserForward, "browser forward"},   {keycode::kBrowserBack, "browser back"},
    {keycode::kScrollUp, "scroll up"},   {keycode::kScrollDown, "scroll down"},
    {keycode::kDpiCycle, "dpi cycle"},
};
// Buttons 3-6 are offered every function but click and menu.
constexpr std::span<const ButtonCode> kLongButtonList(kButtonCodes);
constexpr std::span<const ButtonCode> kShortButtonList = kLongButtonList.subspan(2);

std::string Hex2(unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", value & 0xFFu);
    return buf;
}

std::string_view CommandName(uint8_t command) {
    switch (command) {
        case report::kPollingRate: return "polling rate";
        case report::kDpiTable1: return "dpi table, first part";
        case report::kDpiTable2: return "dpi table, second part";
        case report::kDpiSelect: return "dpi select";
        case report::kButtons1: return "buttons, first part";
        case report::kButtons2: return "buttons, second part";
        case report::kLight: return "light";
        case report::kEnd: return "end";
        default: return "unknown";
    }
}

// A whole-text integer: optional sign and decimal digits, or (when `hex_ok`) 0x and hex digits.
std::optional<int64_t> ParseWholeNumber(std::string_view text, bool hex_ok) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    int base = 10;
    if (hex_ok && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (base == 10 && !text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

struct Range {
    int32_t low;
    int32_t high;
};

// Allowed values of the keys that take a plain number: a range or a list.
struct NumberRule {
    std::string_view key;
    std::vector<int32_t> list;  // empty: the range applies
    Range range;
};

const std::vector<NumberRule>& NumberRules() {
    static const std::vector<NumberRule> rules = {
        {"CurDPI", {250, 500, 1000, 1250, 1500, 1750, 2000}, {}},
        {"ScrollSpeed", {}, {1, 10}},
        {"MouseWheel", {}, {0, 1}},
        {"1Page", {}, {0, 1}},
        {"PollingRate", {125, 250, 500, 1000}, {}},
        {"DPISwitch250", {}, {0, 1}},
        {"DPISwitch500", {}, {0, 1}},
        {"DPISwitch1000", {}, {0, 1}},
        {"DPISwitch1250", {}, {0, 1}},
        {"DPISwitch1500", {}, {0, 1}},
        {"DPISwitch1750", {}, {0, 1}},
        {"DPISwitch2000", {}, {0, 1}},
        {"PointerSpeed", {}, {1, 11}},
        {"MouseAcceleration", {}, {0, 1}},
        {"DisplayPointerTrails", {}, {0, 1}},
        {"DClickSpeed", {}, {1, 11}},
        {"HandedMode", {}, {1, 2}},
        {"AdjustEffect", {}, {1, 3}},
        {"Language", {}, {63, 79}},
    };
    return rules;
}

std::string Describe(const NumberRule& rule) {
    if (rule.list.empty()) return std::to_string(rule.range.low) + "-" + std::to_string(rule.range.high);
    std::string out;
    for (int32_t v : rule.list) {
        if (!out.empty()) out += ", ";
        out += std::to_string(v);
    }
    return out;
}

std::string Describe(std::span<const ButtonCode> codes) {
    std::string out;
    for (const auto& c : codes) {
        if (!out.empty()) out += ", ";
        out += Hex2(c.code) + " (" + std::string(c.name) + ")";
    }
    return out;
}

// Quoted for messages, with control and non-ASCII bytes escaped so nothing unprintable reaches the terminal.
std::string Quote(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string KeyList() {
    std::string out;
    for (const auto& key : ProfileKeys()) {
        if (!out.empty()) out += ", ";
        out += key.name;
    }
    return out;
}

// Restores the module folder when a run ends, since the override is process-wide.
class ModuleDirScope {
public:
    ModuleDirScope() = default;
    ~ModuleDirScope() {
        if (set_) ClearModuleDirOverride();
    }
    void Set(const std::filesystem::path& dir) {
        SetModuleDirOverride(dir);
        set_ = true;
    }

private:
    bool set_ = false;
};

struct Options {
    bool simulate = false;
    bool absent = false;
    std::optional<std::string> log;
    std::optional<std::string> data_dir;
    bool help = false;
    std::string command;
    std::vector<std::string> command_args;
};

// Parses the global options up to the command; the rest belongs to the command. Returns an
// error message, empty on success.
std::string ParseOptions(const std::vector<std::string>& args, Options& o) {
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value_of = [&](std::string_view name, std::optional<std::string>& slot) -> std::string {
            if (a == name) {
                if (i + 1 >= args.size()) return std::string(name) + " needs a value";
                slot = args[++i];
            } else {
                slot = a.substr(name.size() + 1);
            }
            if (slot->empty()) return std::string(name) + " needs a value";
            return {};
        };
        if (a == "--simulate") {
            o.simulate = true;
        } else if (a.starts_with("--simulate=")) {
            const std::string mode = a.substr(11);
            if (mode == "absent") {
                o.simulate = true;
                o.absent = true;
            } else if (mode == "present") {
                o.simulate = true;
            } else {
                return "unknown --simulate mode " + Quote(mode) + " (use --simulate or --simulate=absent)";
            }
        } else if (a == "--log" || a.starts_with("--log=")) {
            if (auto e = value_of("--log", o.log); !e.empty()) return e;
        } else if (a == "--data-dir" || a.starts_with("--data-dir=")) {
            if (auto e = value_of("--data-dir", o.data_dir); !e.empty()) return e;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a.starts_with("-")) {
            return "unknown option " + Quote(a);
        } else {
            break;
        }
    }
    if (i < args.size()) {
        o.command = args[i];
        o.command_args.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    }
    return {};
}

const CommandHelp* FindCommand(std::string_view name) {
    for (const auto& c : kCommandHelp) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

// The state one command runs with.
struct Session {
    std::ostream& out;
    std::ostream& err;
    platform::Services services;
    platform::Clock* real_clock = nullptr;  // the host's clock while the simulated one is in use
};

int NoExtraArgs(Session& s, const Options& o) {
    if (o.command_args.empty()) return kExitOk;
    s.err << "mivoctl: " << o.command << " takes no arguments (got " << Quote(o.command_args.front()) << ")\n";
    return kExitUsage;
}

MouseSettings LoadCurrentProfile() {
    MouseSettings settings;
    LoadProfile(ProfilePath(), settings);
    return settings;
}

int CmdShow(Session& s, const Options& o) {
    if (int rc = NoExtraArgs(s, o)) return rc;
    const MouseSettings settings = LoadCurrentProfile();
    for (const auto& key : ProfileKeys()) s.out << key.name << '=' << FormatProfileValue(key, settings) << '\n';
    return kExitOk;
}

int Save(Session& s, const MouseSettings& settings) {
    if (SaveProfile(ProfilePath(), settings)) return kExitOk;
    s.err << "mivoctl: cannot write the profile " << ProfilePath().string() << '\n';
    return kExitDevice;
}

int CmdSet(Session& s, const Options& o) {
    if (o.command_args.empty()) {
        s.err << "mivoctl: set needs at least one KEY=VALUE\n";
        return kExitUsage;
    }
    MouseSettings settings = LoadCurrentProfile();
    int errors = 0;
    for (const std::string& arg : o.command_args) {
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            s.err << "mivoctl: " << Quote(arg) << " is not KEY=VALUE\n";
            ++errors;
            continue;
        }
        const std::string_view name = std::string_view(arg).substr(0, eq);
        const ProfileKey* key = FindProfileKey(name);
        if (!key) {
            s.err << "mivoctl: unknown key " << Quote(name) << "; the keys are: " << KeyList() << '\n';
            ++errors;
            continue;
        }
        const CheckedValue checked = CheckSettingValue(*key, std::string_view(arg).substr(eq + 1));
        if (!checked.value) {
            s.err << "mivoctl: " << checked.error << '\n';
            ++errors;
            continue;
        }
        key->set(settings, *checked.value);
    }
    if (errors) {
        s.err << "mivoctl: nothing was written\n";
        return kExitUsage;
    }
    return Save(s, settings);
}

int CmdReset(Session& s, const Options& o) {
    if (int rc = NoExtraArgs(s, o)) return rc;
    MouseSettings settings;
    CopySettings(DefaultSettings, settings);
    settings.Language = LoadCurrentProfile().Language;
    if (int rc = Save(s, settings)) return rc;
    s.out << "factory settings written to " << ProfilePath().string() << '\n';
    return kExitOk;
}

bool NeedsMouseBackend(Session& s, std::string_view host) {
    if (s.services.hid) return true;
    s.err << "mivoctl: no HID backend is built for " << host
          << " yet, so the mouse cannot be reached; use --simulate for the built-in simulated mouse\n";
    return false;
}

// The pointer settings of the profile are the Windows pointer settings; a host without them says so.
std::string PointerNotWritten(std::string_view host) {
    return "the pointer settings (speed, acceleration, trails, double-click, wheel) are Windows settings: "
           "not changed on " + std::string(host);
}

int CmdApply(Session& s, const Options& o, std::string_view host) {
    if (int rc = NoExtraArgs(s, o)) return rc;
    MouseSettings settings = LoadCurrentProfile();
    DeviceLink link;
    ApplyFlags flags;
    bool saved = true;
    const ApplyResult result = ApplySettings(link, settings, flags, [&](MouseSettings& record) {
        saved = SaveProfile(ProfilePath(), record);
    });
    if (!saved) s.err << "mivoctl: warning: cannot write the profile " << ProfilePath().string() << '\n';
    switch (result.status) {
        case ApplyStatus::Done:
            s.out << "applied: the mouse accepted the end report\n";
            if (!s.services.pointer) s.out << PointerNotWritten(host) << '\n';
            return kExitOk;
        case ApplyStatus::NoMouse:
            s.err << "mivoctl: no mouse found; "
                  << (s.services.pointer ? "only the pointer settings were applied" : "nothing was applied") << '\n';
            return kExitDevice;
        case ApplyStatus::Refused:
            s.err << "mivoctl: the mouse refused report " << Hex2(result.refused) << " ("
                  << CommandName(result.refused) << "); the reports after it were not sent\n";
            return kExitDevice;
    }
    return kExitDevice;
}

std::string DpiText(uint8_t code) {
    if (code >= 1 && code <= kDpiSlots.size()) {
        return std::to_string(kDpiSlots[code - 1]) + " dpi (slot " + std::to_string(code) + ")";
    }
    return "no dpi step (slot code " + std::to_string(code) + ")";
}

int CmdDpi(Session& s, const Options& o) {
    if (int rc = NoExtraArgs(s, o)) return rc;
    DeviceLink link;
    if (!EnsureOpen(link)) {
        s.err << "mivoctl: no mouse found\n";
        return kExitDevice;
    }
    uint8_t code = 0;
    if (!QueryDpiCode(link, code)) {
        s.err << "mivoctl: the mouse did not answer the dpi query\n";
        return kExitDevice;
    }
    s.out << DpiText(code) << '\n';
    return kExitOk;
}

int CmdWatch(Session& s, const Options& o) {
    std::optional<int64_t> max_polls;
    std::optional<int64_t> max_ms;
    const auto& a = o.command_args;
    for (size_t i = 0; i < a.size(); ++i) {
        std::optional<int64_t>* slot = a[i] == "--polls" ? &max_polls : a[i] == "--for" ? &max_ms : nullptr;
        if (!slot) {
            s.err << "mivoctl: watch: unknown argument " << Quote(a[i]) << " (use --polls N or --for MS)\n";
            return kExitUsage;
        }
        const auto n = i + 1 < a.size() ? ParseWholeNumber(a[i + 1], false) : std::nullopt;
        if (!n || *n < 1) {
            s.err << "mivoctl: watch: " << a[i] << " needs a positive whole number\n";
            return kExitUsage;
        }
        *slot = *n;
        ++i;
    }
    DeviceLink link;
    ApplyFlags flags;
    uint8_t last = 0;
    bool reported_absent = false;
    const int64_t start = s.services.clock->Now();
    for (int64_t polls = 0;; ++polls) {
        const int64_t elapsed = s.services.clock->Now() - start;
        if ((max_polls && polls >= *max_polls) || (max_ms && elapsed >= *max_ms)) break;
        const PollResult r = PollDpi(link, flags, last, false);
        if (r.status == PollStatus::NoMouse) {
            if (!reported_absent) s.out << "+" << elapsed << " ms: no mouse\n";
            reported_absent = true;
        } else {
            if (r.status == PollStatus::Update) s.out << "+" << elapsed << " ms: " << DpiText(r.code) << '\n';
            reported_absent = false;
        }
        s.out.flush();
        Pause(kPollIntervalMs);
        // An endless watch on the simulated mouse keeps real time too, rather than spinning.
        if (!max_polls && !max_ms && s.real_clock) s.real_clock->Sleep(kPollIntervalMs);
    }
    return kExitOk;
}

}  // namespace

CheckedValue CheckSettingValue(const ProfileKey& key, std::string_view text) {
    const std::string name(key.name);
    if (key.is_button_key) {
        const bool long_list = key.name == "Key1" || key.name == "Key2";
        const auto codes = long_list ? kLongButtonList : kShortButtonList;
        const auto n = ParseWholeNumber(text, true);
        if (n) {
            for (const auto& c : codes) {
                if (*n == c.code) return {static_cast<int32_t>(*n), {}};
            }
        }
        return {std::nullopt, "value " + Quote(text) + " for " + name + " is " +
                                  (n ? "not allowed" : "not a number") + "; allowed: " + Describe(codes)};
    }
    for (const auto& rule : NumberRules()) {
        if (rule.key != key.name) continue;
        const auto n = ParseWholeNumber(text, false);
        bool ok = false;
        if (n) {
            if (rule.list.empty()) {
                ok = *n >= rule.range.low && *n <= rule.range.high;
            } else {
                for (int32_t v : rule.list) ok = ok || *n == v;
            }
        }
        if (ok) return {static_cast<int32_t>(*n), {}};
        return {std::nullopt, "value " + Quote(text) + " for " + name + " is " + (n ? "not allowed" : "not a number") +
                                  "; allowed: " + Describe(rule)};
    }
    return {std::nullopt, "key " + name + " cannot be set"};
}

int RunMivoctl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               platform::sim::SimPlatform* sim, HostPlatform* host) {
    Options o;
    if (std::string e = ParseOptions(args, o); !e.empty()) {
        err << "mivoctl: " << e << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (o.command.empty()) {
        if (o.help) {
            out << kUsage;
            return kExitOk;
        }
        err << "mivoctl: no command given\n\n" << kUsage;
        return kExitUsage;
    }
    const CommandHelp* command = FindCommand(o.command);
    if (!command) {
        err << "mivoctl: unknown command " << Quote(o.command) << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (o.help || WantsHelp(o.command_args)) {
        out << command->text;
        return kExitOk;
    }

    // Services: the simulated platform with the host's paths, or the host alone.
    std::unique_ptr<HostPlatform> own_host;
    if (!host) {
        own_host = MakeHostPlatform();
        host = own_host.get();
    }
    std::unique_ptr<platform::sim::SimPlatform> own_sim;
    std::unique_ptr<platform::sim::EventLog> host_log;
    platform::Services services = host->services();
    if (o.simulate) {
        if (!sim) {
            own_sim = std::make_unique<platform::sim::SimPlatform>();
            sim = own_sim.get();
            if (services.paths) {
                sim->paths.executable = services.paths->ExecutablePath();
                sim->paths.temp = services.paths->TempDir();
            }
        }
        const platform::Services host_services = services;
        services = sim->services();
        services.codec = host_services.codec;
        services.fonts = host_services.fonts;
        if (o.log && !sim->log.TeeTo(*o.log)) {
            err << "mivoctl: cannot write the log file " << Quote(*o.log) << '\n';
            return kExitUsage;
        }
        if (o.absent) sim->hid.Unplug();  // after the tee, so the log shows the mouse is absent
    } else if (o.log) {
        host_log = std::make_unique<platform::sim::EventLog>(*services.clock);
        if (!host_log->TeeTo(*o.log)) {
            err << "mivoctl: cannot write the log file " << Quote(*o.log) << '\n';
            return kExitUsage;
        }
        services.diagnostics = host_log.get();
    }
    platform::ScopedServices scope(services);
    ModuleDirScope module_dir;
    if (o.data_dir) module_dir.Set(*o.data_dir);

    Session s{out, err, services, o.simulate ? host->services().clock : nullptr};
    const std::string_view name = command->name;
    if (name == "show") return CmdShow(s, o);
    if (name == "set") return CmdSet(s, o);
    if (name == "reset") return CmdReset(s, o);
    if (!NeedsMouseBackend(s, host->name())) return kExitNoBackend;
    if (name == "apply") return CmdApply(s, o, host->name());
    if (name == "dpi") return CmdDpi(s, o);
    return CmdWatch(s, o);
}

}  // namespace mivo::cli
