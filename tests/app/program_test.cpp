// mivo-config run headless on scripts: start-up, single copy, tray, show/hide rules and plug events,
// observed through the event log the program writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app_fixture.h"
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
                          Case{{"--help"}, 0, ""}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunMivoConfig(c.args, out, err), c.code) << c.args.back();
        EXPECT_NE(err.str().find(c.says), std::string::npos) << err.str();
    }
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
