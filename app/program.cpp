// The mivo-config program: options, the headless service set, the start-up and its script.
#include "app/program.h"

#include <charconv>

#include "app/host.h"
#include "app/mouse_config_app.h"
#include "platform/platform.h"
#include "platform/sim/script.h"
#include "platform/sim/sim_hid.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_shell.h"
#include "platform/sim/sim_sound.h"
#include "resources/paths.h"

namespace mivo {

namespace {

constexpr char kUsage[] =
    "usage: mivo-config [options] [silent]\n"
    "  silent               start hidden, with only the notification-area icon\n"
    "  --headless           run on the simulated desktop and virtual clock, driven by --script\n"
    "                       (without it: the system's desktop, where there is a backend for it)\n"
    "  --simulate           use the built-in simulated mouse; --simulate=absent starts it unplugged\n"
    "                       (on the system's desktop it replaces only the HID bus)\n"
    "  --script FILE        input for the headless desktop, one command a line\n"
    "  --log FILE           write the event log to FILE (\"-\" for standard output)\n"
    "  --data-dir DIR       folder of the profile, language files and UIPIC (default: the program's)\n"
    "  --lang-id N          the user's language ID the simulated platform reports (e.g. 0x0804)\n"
    "  --screenshot-dir DIR where the script's screenshots go\n"
    "  --help               this text\n";

bool ParseLangId(const std::string& text, uint16_t& out) {
    std::string_view digits = text;
    int base = 10;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty() || value > 0xFFFF) return false;
    out = static_cast<uint16_t>(value);
    return true;
}

}  // namespace

std::optional<std::string> ParseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            words.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> value;
        if (const size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        auto take_value = [&]() -> std::optional<std::string> {
            if (value) return value;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        if (name == "--simulate") {
            if (value && *value != "absent") return "--simulate takes no value but \"absent\"";
            options.simulate = true;
            options.mouse_absent = value.has_value();
        } else if (name == "--headless" && !value) {
            options.headless = true;
        } else if (name == "--help" && !value) {
            options.help = true;
        } else if (name == "--script" || name == "--log" || name == "--data-dir" || name == "--screenshot-dir" ||
                   name == "--lang-id") {
            const std::optional<std::string> v = take_value();
            if (!v || v->empty()) return name + " needs a value";
            if (name == "--script") options.script = *v;
            if (name == "--log") options.log = *v;
            if (name == "--data-dir") options.data_dir = *v;
            if (name == "--screenshot-dir") options.screenshot_dir = *v;
            if (name == "--lang-id") {
                uint16_t id = 0;
                if (!ParseLangId(*v, id)) return "--lang-id needs a number from 0 to 0xFFFF, not \"" + *v + "\"";
                options.lang_id = id;
            }
        } else {
            return "unknown option " + arg;
        }
    }
    for (size_t i = 0; i < words.size(); ++i) {
        if (i) options.command_line += ' ';
        options.command_line += words[i];
    }
    return std::nullopt;
}

int RunWithSystemServices(platform::Services services, platform::Clock& clock, platform::Diagnostics& log,
                          const ProgramOptions& options) {
    std::unique_ptr<platform::sim::SimHidBus> mouse;
    if (options.simulate) {
        mouse = std::make_unique<platform::sim::SimHidBus>(log);
        mouse->SetClock(&clock);
        if (options.mouse_absent) mouse->Unplug();
        services.hid = mouse.get();
    }
    platform::ScopedServices scoped(services);

    if (!options.data_dir.empty()) SetModuleDirOverride(options.data_dir);
    const int code = CMouseConfigApp().Run(options.command_line);
    if (!options.data_dir.empty()) ClearModuleDirOverride();
    return code;
}

int RunMivoConfig(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ProgramOptions options;
    if (auto error = ParseProgramOptions(args, options)) {
        err << "mivo-config: " << *error << "\n" << kUsage;
        return 2;
    }
    if (options.help) {
        out << kUsage;
        return 0;
    }
    if (!options.headless) {
        // The script, its screenshots and a made-up language belong to the simulated desktop.
        if (!options.script.empty() || !options.screenshot_dir.empty() || options.lang_id) {
            err << "mivo-config: --script, --screenshot-dir and --lang-id need --headless\n";
            return 2;
        }
        return RunOnDesktop(options, err);
    }
    if (!options.simulate) {
        err << "mivo-config: --headless runs with the simulated mouse only; add --simulate "
               "(or --simulate=absent)\n";
        return 2;
    }

    platform::sim::ParsedScript script;
    if (!options.script.empty()) {
        script = platform::sim::ParseScriptFile(options.script);
        if (script.error) {
            err << "mivo-config: " << script.error->Text() << "\n";
            return platform::sim::kScriptErrorExit;
        }
    }

    platform::sim::SimPlatform sim;
    if (!options.log.empty() && !sim.log.TeeTo(options.log)) {
        err << "mivo-config: cannot write the log to " << options.log.string() << "\n";
        return 2;
    }
    if (options.lang_id) sim.locale.lang_id = *options.lang_id;
    if (options.mouse_absent) sim.hid.Unplug();

    platform::sim::SimDesktop desktop(sim.clock, sim.log);
    platform::sim::SimShell shell(sim.log, &desktop);
    platform::sim::SimSoundPlayer sound(sim.log);
    const std::unique_ptr<HostServices> host = MakeHostServices();
    const platform::Services host_services = host->services();

    platform::Services services = sim.services();
    services.codec = host_services.codec;
    services.fonts = host_services.fonts;
    services.paths = host_services.paths;
    services.desktop = &desktop;
    services.shell = &shell;
    services.sound = &sound;
    platform::ScopedServices scoped(services);

    if (!options.data_dir.empty()) SetModuleDirOverride(options.data_dir);

    platform::sim::ScriptHooks hooks;
    const std::string command_line = options.command_line;
    hooks.second_copy = [command_line] { return CMouseConfigApp().Run(command_line); };
    hooks.hid = &sim.hid;
    hooks.codec = host_services.codec;
    hooks.screenshot_dir = options.screenshot_dir;
    platform::sim::ScriptRunner runner(desktop, sim.log, std::move(script.commands), std::move(hooks));
    const int code = runner.Run([&command_line] { return CMouseConfigApp().Run(command_line); });

    if (!options.data_dir.empty()) ClearModuleDirOverride();
    return code;
}

}  // namespace mivo
