// mivo-config run headless on scripts: start-up, single copy, tray, show/hide rules and plug events,
// observed through the event log the program writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app_fixture.h"
#include "base/ini_file.h"
#include "device/apply.h"
#include "resources/language.h"
#include "resources/skin.h"
#include "toolkit/base_ctrl.h"

namespace mivo {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int code = -1;
    std::vector<std::string> log;  // lines without their time stamps
    std::string out;
    std::string err;

    // Index of the first line starting with `prefix` at or after `from`; npos when none.
    size_t Find(const std::string& prefix, size_t from = 0) const {
        for (size_t i = from; i < log.size(); ++i) {
            if (log[i].starts_with(prefix)) return i;
        }
        return std::string::npos;
    }
    bool Has(const std::string& prefix) const { return Find(prefix) != std::string::npos; }
};

// A module folder with the test skins, and runs of the whole program in this process.
class Program {
public:
    Program() { testing::WriteSkinSheets(dir_.path()); }
    const fs::path& dir() const { return dir_.path(); }

    RunResult Run(const std::string& script, std::vector<std::string> extra_args = {}) {
        ResetLanguageStateForTests();
        ResetSkinCache();
        ResetHoverFlags();
        LastDpiCode() = 0;
        const fs::path script_file = dir_.path() / "script.txt";
        const fs::path log_file = dir_.path() / "events.log";
        std::ofstream(script_file) << script;
        std::vector<std::string> args = {"--headless", "--simulate", "--data-dir", dir_.path().string(),
                                         "--script", script_file.string(), "--log", log_file.string()};
        args.insert(args.end(), extra_args.begin(), extra_args.end());
        std::ostringstream out, err;
        RunResult r;
        r.code = RunMivoConfig(args, out, err);
        r.out = out.str();
        r.err = err.str();
        std::ifstream in(log_file);
        for (std::string line; std::getline(in, line);) {
            const size_t space = line.find(' ');
            r.log.push_back(space == std::string::npos ? line : line.substr(space + 1));
        }
        return r;
    }

private:
    testing::TempFolder dir_;
};

constexpr size_t npos = std::string::npos;

TEST(Program, StartWithTheMouseShowsTheWindowAndTheIcon) {
    Program p;
    const RunResult r = p.Run("wait 10\n");
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.Has("post.none KorvexMivoConfigMain 2028")) << "no other copy runs";
    EXPECT_TRUE(r.Has("lock MouseConfig acquired"));
    EXPECT_TRUE(r.Has("window.create main"));
    EXPECT_TRUE(r.Has("window.present main 800x500")) << "sized to the background once attached";
    EXPECT_FALSE(r.Has("window.present main 545x366"));
    EXPECT_TRUE(r.Has("tray.add 133 岚隼 米沃"));
    EXPECT_TRUE(r.Has("timer.set main 1000 700"));
    EXPECT_TRUE(r.Has("window.show main"));
    EXPECT_FALSE(r.Has("window.show.vetoed"));
    // The icon goes before the window when the program ends.
    const size_t gone = r.Find("tray.delete 133");
    ASSERT_NE(gone, npos);
    EXPECT_LT(gone, r.Find("window.destroy main"));
    EXPECT_EQ(r.log.back(), "app.exit 0");
}

TEST(Program, SilentStartsInTheTrayOnlyWhenSpelledExactly) {
    struct Case {
        std::vector<std::string> words;
        bool shown_at_start;
    };
    for (const Case& c : {Case{{"silent"}, false}, Case{{"Silent"}, true}, Case{{}, true},
                          Case{{"silent", "now"}, true}}) {
        Program p;
        SCOPED_TRACE(c.words.empty() ? "(none)" : c.words[0] + " x" + std::to_string(c.words.size()));
        const RunResult r = p.Run("wait 10\ntray dblclick\nwait 10\n", c.words);
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.Has("tray.add 133 岚隼 米沃"));
        const size_t dblclick = r.Find("script 2 tray dblclick");
        ASSERT_NE(dblclick, npos);
        const size_t first_show = r.Find("window.show main");
        ASSERT_NE(first_show, npos) << "a double click on the icon always shows the window";
        EXPECT_EQ(first_show < dblclick, c.shown_at_start);
    }
}

TEST(Program, SecondCopyAsksTheFirstToShowAndTouchesNothing) {
    Program p;
    const RunResult r = p.Run("wait 10\nsecond-copy\nwait 10\n", {"silent"});
    EXPECT_EQ(r.code, 0);
    const size_t start = r.Find("second-copy.start");
    const size_t end = r.Find("second-copy.exit 0");
    ASSERT_NE(start, npos);
    ASSERT_NE(end, npos);
    // Between its start and its end the second copy only posts and tries the lock.
    EXPECT_EQ(std::vector<std::string>(r.log.begin() + start + 1, r.log.begin() + end),
              (std::vector<std::string>{"post KorvexMivoConfigMain 2028", "lock MouseConfig exists"}));
    EXPECT_FALSE(fs::exists(p.dir() / "1.cfg"));
    // The first copy, started silent, shows itself on the request.
    EXPECT_EQ(r.Find("window.show main"), r.Find("window.show main", end));
    EXPECT_NE(r.Find("window.show main", end), npos);
}

TEST(Program, KeysAndTheCloseCommandChangeNothing) {
    Program p;
    const RunResult r = p.Run("wait 10\nkey main enter\nkey main escape\nkey main close\nwait 10\n");
    EXPECT_EQ(r.code, 0);
    const size_t keys = r.Find("script 2 key main enter");
    ASSERT_NE(keys, npos);
    EXPECT_EQ(r.Find("window.hide main", keys), npos);
    EXPECT_EQ(r.Find("dialog.end", keys), npos);
    EXPECT_LT(r.Find("script 5 wait 10"), r.Find("loop.quit"));
}

TEST(Program, PressOnTheBackgroundDragsTheWindow) {
    Program p;
    const RunResult r = p.Run("down main 400 60\nmove main 450 90\nup main 450 90\nclick main 700 470\n");
    EXPECT_EQ(r.code, 0);
    const size_t drag = r.Find("window.drag main");
    ASSERT_NE(drag, npos);
    EXPECT_LT(drag, r.Find("script 2 move"));
    EXPECT_NE(r.Find("window.move main", drag), npos);
    // A press on a control (Apply) does not drag.
    EXPECT_EQ(r.Find("window.drag", r.Find("script 4 click")), npos);
}

TEST(Program, UnplugHidesAndRemovesTheIconPlugAddsItBack) {
    Program p;
    const RunResult r = p.Run("wait 10\nmouse unplug\nwait 10\nmouse plug\nwait 800\ntray dblclick\n");
    EXPECT_EQ(r.code, 0);
    const size_t unplug = r.Find("script 2 mouse unplug");
    const size_t plug = r.Find("script 4 mouse plug");
    ASSERT_NE(unplug, npos);
    ASSERT_NE(plug, npos);
    EXPECT_LT(r.Find("tray.delete 133", unplug), plug);
    EXPECT_LT(r.Find("window.hide main", unplug), plug);
    EXPECT_NE(r.Find("tray.add 133 岚隼 米沃", plug), npos);
    // The arrival does not show the window, the icon does.
    const size_t shown = r.Find("window.show main", plug);
    ASSERT_NE(shown, npos);
    EXPECT_GT(shown, r.Find("script 6 tray dblclick"));
}

TEST(Program, WithoutTheMouseTheWindowStaysHiddenUntilItIsPluggedAndAsked) {
    Program p;
    const RunResult r = p.Run("wait 1500\nmouse plug\nwait 10\ntray dblclick\n", {"--simulate=absent"});
    EXPECT_EQ(r.code, 0);
    const size_t plug = r.Find("script 2 mouse plug");
    ASSERT_NE(plug, npos);
    EXPECT_EQ(r.Find("window.show main"), r.Find("window.show main", plug));
    EXPECT_EQ(r.Find("tray.add"), r.Find("tray.add", plug));
    EXPECT_NE(r.Find("tray.add 133", plug), npos);
    EXPECT_NE(r.Find("window.show main", plug), npos);
}

TEST(Program, DeviceCheckAtAStartWithoutTheMouse) {
    struct Case {
        const char* script;
        const char* end;
        bool dragged;
    };
    for (const Case& c : {Case{"click devcheck 280 10\n", "dialog.end devcheck 1", false},
                          Case{"click devcheck 150 120\n", "dialog.end devcheck 2", false},
                          Case{"down devcheck 5 5\nmove devcheck 105 25\nup devcheck 105 25\nkey devcheck escape\n",
                               "dialog.end devcheck 2", true}}) {
        SCOPED_TRACE(c.script);
        Program p;
        const RunResult r = p.Run(std::string(c.script) + "wait 1500\n", {"--simulate=absent"});
        EXPECT_EQ(r.code, 0);
        const size_t run = r.Find("dialog.run devcheck");
        ASSERT_NE(run, npos);
        EXPECT_LT(run, r.Find("dialog.run main")) << "shown while the main window initialises";
        const size_t end = r.Find(c.end);
        ASSERT_NE(end, npos);
        EXPECT_EQ(r.Find("window.move devcheck", run) < end, c.dragged);
        EXPECT_FALSE(r.Has("window.show main"));
        EXPECT_FALSE(r.Has("tray.add"));
    }
}

TEST(Program, SilentStartWithoutTheMouseShowsNoDeviceCheck) {
    Program p;
    const RunResult r = p.Run("wait 10\n", {"--simulate=absent", "silent"});
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(r.Has("window.create devcheck"));
    EXPECT_FALSE(r.Has("window.show main"));
}

// The factory reset on a German system: the default language is chosen as if clicked, then saved.
TEST(Program, ResetOnAGermanSystemSavesTheFactoryValuesAndGerman) {
    Program p;
    std::ofstream(p.dir() / "German.lng") << "[Language]\nLanguage=1031\n[Text]\n";
    testing::WriteLanguageFaces(p.dir(), "GER", 0xFF203040);
    const RunResult r = p.Run("click main 726 409\nwait 10\nclick reset 100 212\nwait 10\n", {"--lang-id", "1031"});
    EXPECT_EQ(r.code, 0);
    const size_t confirm = r.Find("script 3 click reset");
    ASSERT_NE(confirm, npos);
    EXPECT_LT(r.Find("window.show reset"), confirm);
    EXPECT_LT(r.Find("window.hide reset", confirm), r.Find("hid.set 03 C0", confirm));
    EXPECT_NE(r.Find("hid.set 03 EE", confirm), npos);
    IniFile profile;
    ASSERT_TRUE(profile.Load(p.dir() / "1.cfg"));
    EXPECT_EQ(profile.Get("ConfigData", "Language"), "67");
    EXPECT_EQ(profile.Get("ConfigData", "Key6"), "129");
    EXPECT_EQ(profile.Get("ConfigData", "CurDPI"), "1000");
    EXPECT_EQ(profile.Get("ConfigData", "HandedMode"), "2");
}

// The demo script shows the three pages and leaves through the tray menu.
TEST(Program, DemoScriptTakesTheThreePageScreenshots) {
    Program p;
    const fs::path shots = p.dir() / "shots";
    fs::create_directories(shots);
    const std::string script = std::string(MIVO_SOURCE_DIR) + "/tools/demo-window.script";
    std::ifstream in(script);
    ASSERT_TRUE(in) << script;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const RunResult r = p.Run(text, {"--screenshot-dir", shots.string()});
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(r.Has("input.ignored"));
    EXPECT_FALSE(r.Has("script.unused"));
    EXPECT_TRUE(r.Has("loop.quit 0")) << "left through the menu";
    for (const char* name : {"main-page", "advanced-page", "support-page"}) {
        EXPECT_TRUE(fs::exists(shots / (std::string(name) + ".png"))) << name;
    }
    EXPECT_NE(r.Find("timer.set main 48 40"), npos);
    // The breathing preview ran on the advanced page and stopped when the support page came.
    const auto shot = std::find_if(r.log.begin(), r.log.end(), [](const std::string& line) {
        return line.starts_with("screenshot main") && line.find("advanced-page.png") != std::string::npos;
    });
    ASSERT_NE(shot, r.log.end());
    EXPECT_NE(r.Find("timer.kill main 48", static_cast<size_t>(shot - r.log.begin())), npos);
}

TEST(Program, TrayMenuShowsAndExits) {
    Program p;
    const RunResult r = p.Run("tray rpress\nmenu show\ntray press\nmenu exit\nwait 5000\n", {"silent"});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.Has("tray.menu"));
    const size_t show = r.Find("script 2 menu show");
    ASSERT_NE(show, npos);
    EXPECT_NE(r.Find("window.show main", show), npos);
    const size_t exit = r.Find("script 4 menu exit");
    ASSERT_NE(exit, npos);
    EXPECT_NE(r.Find("loop.quit 0", exit), npos);
    EXPECT_EQ(r.Find("script 5 wait 5000"), npos) << "nothing runs after the exit command";
}

TEST(Program, RefusesToRunWithoutItsRequiredOptions) {
    // Without a display the desktop run refuses too and points at --headless (with one, "--simulate"
    // alone would open the real window).
    const char* display = std::getenv("DISPLAY");
    const std::string saved_display = display ? display : "";
    ::unsetenv("DISPLAY");
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* says;
    };
    for (const Case& c : {Case{{"--simulate"}, 2, "--headless"}, Case{{"--headless"}, 2, "--simulate"},
                          Case{{"--headless", "--simulate", "--frobnicate"}, 2, "unknown option --frobnicate"},
                          Case{{"--headless", "--simulate", "--lang-id", "0x1FFFF"}, 2, "--lang-id"},
                          Case{{"--headless", "--simulate", "--script"}, 2, "--script needs a value"},
                          Case{{"--simulate=maybe", "--headless"}, 2, "absent"},
                          Case{{"--simulate", "--script", "input.txt"}, 2, "need --headless"},
                          Case{{"--simulate", "--lang-id", "0x0804"}, 2, "need --headless"},
                          Case{{"--help"}, 0, ""}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunMivoConfig(c.args, out, err), c.code) << c.args.back();
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    }
    if (display) ::setenv("DISPLAY", saved_display.c_str(), 1);
}

TEST(Program, ScriptErrorsStopBeforeAnythingRuns) {
    Program p;
    const RunResult r = p.Run("wait 10\nclick main ten 20\n");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("script:2:"), std::string::npos) << r.err;
    EXPECT_TRUE(r.log.empty());
}

TEST(ProgramOptions, OurOptionsLeaveTheCommandLine) {
    ProgramOptions o;
    ASSERT_FALSE(ParseProgramOptions({"--headless", "silent", "--lang-id=0x0804", "--simulate=absent"}, o));
    EXPECT_EQ(o.command_line, "silent");
    EXPECT_TRUE(o.headless);
    EXPECT_TRUE(o.simulate);
    EXPECT_TRUE(o.mouse_absent);
    EXPECT_EQ(o.lang_id, 0x0804);
}

}  // namespace
}  // namespace mivo
