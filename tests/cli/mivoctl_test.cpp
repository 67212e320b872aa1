// mivoctl end to end on the simulated mouse: apply timing, refusals, profile editing and bad input.
#include <gtest/gtest.h>

#include "support/scratch_dir.h"
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/host.h"
#include "cli/mivoctl.h"
#include "platform/sim/sim_platform.h"

namespace mivo::cli {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int64_t TimeOf(const std::string& line) { return std::stoll(line.substr(0, line.find(' '))); }

class MivoctlTest : public ::testing::Test {
protected:
    void SetUp() override { profile = dir / "1.cfg"; }

    struct Outcome {
        int rc;
        std::string out;
        std::string err;
    };

    // Runs mivoctl on `sim` with the test folder as module folder.
    Outcome Run(std::vector<std::string> args, bool simulate = true) {
        std::vector<std::string> full;
        if (simulate) full.push_back("--simulate");
        full.insert(full.end(), {"--data-dir", dir.string()});
        full.insert(full.end(), args.begin(), args.end());
        std::ostringstream out, err;
        const int rc = RunMivoctl(full, out, err, &sim);
        return {rc, out.str(), err.str()};
    }

    std::string Show() {
        const Outcome o = Run({"show"});
        EXPECT_EQ(o.rc, 0) << o.err;
        return o.out;
    }

    test::ScratchDir scratch{"mivoctl"};
    fs::path dir = scratch.path();
    fs::path profile;
    platform::sim::SimPlatform sim;
};

TEST_F(MivoctlTest, ApplyFactoryProfileSendsEightReportsOnTime) {
    ASSERT_EQ(Run({"reset"}).rc, 0);
    sim.clock.Advance(250);
    const fs::path log_file = dir / "events.log";
    const Outcome o = Run({"--log", log_file.string(), "apply"});
    EXPECT_EQ(o.rc, 0) << o.err;
    EXPECT_NE(o.out.find("accepted the end report"), std::string::npos);

    const auto opens = sim.log.Lines("hid.open");
    ASSERT_EQ(opens.size(), 1u);
    const int64_t t = TimeOf(opens[0]) + 400;
    const std::vector<std::pair<int64_t, std::string>> expected = {
        {0, "03 C0 00 00 00 00 00 C0"},    {200, "03 A0 01 02 03 04 05 AF"}, {300, "03 A1 06 07 07 00 00 B5"},
        {400, "03 A2 03 00 00 00 00 A5"},  {600, "03 B0 01 02 04 81 82 BA"}, {700, "03 B1 83 00 00 00 00 34"},
        {900, "03 D0 20 00 00 00 00 F0"},  {1100, "03 EE 00 00 00 00 00 EE"},
    };
    std::vector<std::string> expected_lines;
    for (const auto& [dt, bytes] : expected) expected_lines.push_back(std::to_string(t + dt) + " hid.set " + bytes);
    EXPECT_EQ(sim.log.Lines("hid.set"), expected_lines);

    // The same lines reach the log file, with the pointer settings before them (a text file: on
    // Windows its lines end in CR LF).
    std::string logged = ReadFile(log_file);
    std::erase(logged, '\r');
    for (const auto& line : expected_lines) EXPECT_NE(logged.find(line + "\n"), std::string::npos) << line;
    EXPECT_LT(logged.find("pointer.speed"), logged.find("hid.set"));
    EXPECT_EQ(sim.hid.Mouse().end_reports, 1);
}

TEST_F(MivoctlTest, ApplyForcesHandednessAndSavesIt) {
    ASSERT_EQ(Run({"set", "HandedMode=1", "Key1=0x04", "Key2=0x85"}).rc, 0);
    ASSERT_EQ(Run({"apply"}).rc, 0);
    EXPECT_NE(sim.log.Lines("hid.set")[4].find("03 B0 02 01"), std::string::npos);
    const std::string shown = Show();
    EXPECT_NE(shown.find("Key1=2\nKey2=1\n"), std::string::npos) << shown;
}

TEST_F(MivoctlTest, RefusedButtonReportStopsApplyWithExitOne) {
    ASSERT_EQ(Run({"reset"}).rc, 0);
    sim.hid.RefuseCommand(0xB0);
    const Outcome o = Run({"apply"});
    EXPECT_EQ(o.rc, 1);
    EXPECT_NE(o.err.find("refused report 0xB0"), std::string::npos) << o.err;
    const auto sets = sim.log.Lines("hid.set");
    ASSERT_EQ(sets.size(), 5u);
    for (const char* absent : {"03 B1", "03 D0", "03 EE"}) {
        for (const auto& line : sets) EXPECT_EQ(line.find(absent), std::string::npos) << line;
    }
}

TEST_F(MivoctlTest, ApplyWithoutMouseWritesPointerSettingsOnly) {
    const Outcome o = Run({"--simulate=absent", "apply"});
    EXPECT_EQ(o.rc, 1);
    EXPECT_NE(o.err.find("no mouse"), std::string::npos) << o.err;
    EXPECT_TRUE(sim.log.Lines("hid.set").empty());
    EXPECT_EQ(sim.pointer.double_click_ms, 600u);
    EXPECT_FALSE(fs::exists(profile));  // the apply saves only once the mouse is open
}

TEST_F(MivoctlTest, ShowReadsMissingKeysAsTheUtilityDoes) {
    const std::string fresh = Show();
    EXPECT_EQ(fresh.rfind("CurDPI=1000\nScrollSpeed=3\nMouseWheel=1\n1Page=0\nPollingRate=1000\n", 0), 0u) << fresh;
    EXPECT_NE(fresh.find("\nKey4=130\nKey5=131\nKey6=133\nLanguage=64\n"), std::string::npos) << fresh;
    EXPECT_EQ(std::count(fresh.begin(), fresh.end(), '\n'), 25);

    ASSERT_EQ(Run({"set", "Language=67"}).rc, 0);
    ASSERT_EQ(Run({"reset"}).rc, 0);
    const std::string reset = Show();
    EXPECT_NE(reset.find("\nKey6=129\nLanguage=67\n"), std::string::npos) << reset;
}

TEST_F(MivoctlTest, SetAcceptsEveryFormOfAllowedValues) {
    const Outcome o = Run({"set", "CurDPI=1750", "ScrollSpeed=10", "PollingRate=125", "DPISwitch500=0",
                           "Key1=0x02", "Key4=16", "Key6=0X85", "AdjustEffect=3", "Language=79", "dclickspeed=11"});
    ASSERT_EQ(o.rc, 0) << o.err;
    const std::string shown = Show();
    for (const char* line : {"CurDPI=1750\n", "ScrollSpeed=10\n", "PollingRate=125\n", "DPISwitch500=0\n",
                             "Key1=2\n", "Key4=16\n", "Key6=133\n", "AdjustEffect=3\n", "Language=79\n",
                             "DClickSpeed=11\n"}) {
        EXPECT_NE(shown.find(line), std::string::npos) << line;
    }
}

TEST_F(MivoctlTest, BadValuesAreRefusedAndNothingIsWritten) {
    ASSERT_EQ(Run({"set", "CurDPI=500"}).rc, 0);
    const std::string before = ReadFile(profile);
    struct Case {
        std::vector<std::string> args;
        const char* message;  // part of the error
    } cases[] = {
        {{"set", "Colour=3"}, "unknown key \"Colour\""},
        {{"set", "ScrollSpeed=11"}, "ScrollSpeed is not allowed; allowed: 1-10"},
        {{"set", "ScrollSpeed=0"}, "allowed: 1-10"},
        {{"set", "CurDPI=abc"}, "CurDPI is not a number; allowed: 250, 500, 1000, 1250, 1500, 1750, 2000"},
        {{"set", "CurDPI=12abc"}, "not a number"},
        {{"set", "CurDPI="}, "not a number"},
        {{"set", "CurDPI=0x3E8"}, "not a number"},  // hex only for button codes
        {{"set", "PollingRate=300"}, "allowed: 125, 250, 500, 1000"},
        {{"set", "HandedMode=3"}, "allowed: 1-2"},
        {{"set", "Language=80"}, "allowed: 63-79"},
        {{"set", "PointerSpeed=99999999999999999999"}, "PointerSpeed is not a number"},
        {{"set", "Key3=0x01"}, "Key3 is not allowed; allowed: 0x04 (universal scroll)"},
        {{"set", "Key1=0x99"}, "allowed: 0x01 (click), 0x02 (menu)"},
        {{"set", "Key2=386"}, "Key2 is not allowed"},  // no silent cut to the low byte
        {{"set", "Key5=\x01\xff"}, "\"\\x01\\xFF\" for Key5 is not a number"},
        {{"set", "CurDPI"}, "is not KEY=VALUE"},
        {{"set"}, "needs at least one KEY=VALUE"},
        {{"set", "CurDPI=1000", "MouseWheel=2"}, "MouseWheel is not allowed"},  // one bad value spoils all
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.rc, 2) << c.args.back();
        EXPECT_NE(o.err.find(c.message), std::string::npos) << c.args.back() << ": " << o.err;
        EXPECT_EQ(ReadFile(profile), before) << c.args.back();
    }
}

TEST_F(MivoctlTest, GarbageProfileNeverCrashes) {
    const std::string garbage[] = {
        std::string("\x00\xff\xfe\x01[Config\x00Data]\n\xff\xff=\x80\x80\n", 20),
        "[ConfigData]\nCurDPI=abc\nKey4=0x\nKey5=-7\nPollingRate=99999999999\n[ConfigData\n===\n",
        std::string(70000, '\xff'),
        "\xff\xfe[\0C\0o\0n\0f\0i\0g\0",
    };
    for (const auto& bytes : garbage) {
        std::ofstream(profile, std::ios::binary | std::ios::trunc) << bytes;
        const Outcome shown = Run({"show"});
        EXPECT_EQ(shown.rc, 0) << shown.err;
        EXPECT_EQ(std::count(shown.out.begin(), shown.out.end(), '\n'), 25) << shown.out;
        const Outcome applied = Run({"apply"});
        EXPECT_EQ(applied.rc, 0) << applied.err;
    }
    // The readable entries of the second file read as the utility reads them.
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << garbage[1];
    const std::string shown = Show();
    EXPECT_NE(shown.find("CurDPI=0\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Key5=249\n"), std::string::npos) << shown;
}

TEST_F(MivoctlTest, DpiReadsTheCurrentStep) {
    Outcome o = Run({"dpi"});
    EXPECT_EQ(o.rc, 0);
    EXPECT_EQ(o.out, "1000 dpi (slot 3)\n");
    sim.hid.PressDpiButton();
    EXPECT_EQ(Run({"dpi"}).out, "1250 dpi (slot 4)\n");
    sim.hid.RefuseRead();
    EXPECT_EQ(Run({"dpi"}).rc, 1);
    sim.hid.Unplug();
    o = Run({"dpi"});
    EXPECT_EQ(o.rc, 1);
    EXPECT_NE(o.err.find("no mouse"), std::string::npos);
}

TEST_F(MivoctlTest, WatchPrintsEachChangeEvery700ms) {
    sim.hid.SchedulePress(1000);
    sim.hid.SchedulePress(2500);
    const Outcome o = Run({"watch", "--polls", "6"});
    EXPECT_EQ(o.rc, 0) << o.err;
    EXPECT_EQ(o.out, "+0 ms: 1000 dpi (slot 3)\n+1400 ms: 1250 dpi (slot 4)\n+2800 ms: 1500 dpi (slot 5)\n");
    EXPECT_EQ(sim.log.Lines("hid.get").size(), 6u);

    sim.log.Clear();
    const Outcome timed = Run({"watch", "--for", "1400"});
    EXPECT_EQ(timed.out, "+0 ms: 1500 dpi (slot 5)\n");
    EXPECT_EQ(sim.log.Lines("hid.get").size(), 2u);  // polls at +0 and +700
}

TEST_F(MivoctlTest, WatchFollowsUnplugAndPlug) {
    sim.hid.Unplug();
    const Outcome o = Run({"watch", "--polls", "3"});
    EXPECT_EQ(o.out, "+0 ms: no mouse\n");  // said once, not at every poll
    EXPECT_EQ(sim.log.Lines("hid.get").size(), 0u);
}

TEST_F(MivoctlTest, UsageErrorsAndHelp) {
    struct Case {
        std::vector<std::string> args;
        int rc;
        const char* text;  // in stdout for rc 0, in stderr otherwise
    } cases[] = {
        {{"--help"}, 0, "Commands:"},
        {{"apply", "--help"}, 0, "usage: mivoctl [options] apply"},
        {{"--help", "watch"}, 0, "--polls N"},
        {{}, 2, "no command given"},
        {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
        {{"--bogus", "show"}, 2, "unknown option \"--bogus\""},
        {{"--simulate=maybe", "show"}, 2, "unknown --simulate mode"},
        {{"show", "extra"}, 2, "show takes no arguments"},
        {{"watch", "--polls", "x"}, 2, "--polls needs a positive whole number"},
        {{"watch", "--polls", "0"}, 2, "--polls needs a positive whole number"},
        {{"watch", "--every", "3"}, 2, "unknown argument"},
        {{"--log", dir.string() + "/no/such/dir/log", "show"}, 2, "cannot write the log file"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        std::vector<std::string> args = {"--simulate"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(RunMivoctl(args, out, err, &sim), c.rc) << args.back();
        EXPECT_NE((c.rc == 0 ? out : err).str().find(c.text), std::string::npos) << args.back() << ": " << err.str();
    }
    std::ostringstream out, err;
    EXPECT_EQ(RunMivoctl({"--data-dir", dir.string()}, out, err), 2);
}

// A host system made of the simulated parts, with or without a HID bus, and without the
// Windows pointer settings (as on Linux).
class PartsHost final : public HostPlatform {
public:
    PartsHost(platform::sim::SimPlatform& parts, bool with_hid) : parts_(parts), with_hid_(with_hid) {}
    platform::Services services() override {
        platform::Services s = parts_.services();
        s.pointer = nullptr;
        if (!with_hid_) s.hid = nullptr;
        return s;
    }
    const char* name() const override { return "TestOS"; }

private:
    platform::sim::SimPlatform& parts_;
    bool with_hid_;
};

TEST_F(MivoctlTest, AHostWithoutHidBusSaysTheBackendIsMissing) {
    PartsHost host(sim, /*with_hid=*/false);
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dir.string()});
        std::ostringstream out, err;
        const int rc = RunMivoctl(args, out, err, nullptr, &host);
        return Outcome{rc, out.str(), err.str()};
    };
    for (const char* command : {"apply", "dpi", "watch"}) {
        const Outcome o = run({command});
        EXPECT_EQ(o.rc, 3) << command;
        EXPECT_NE(o.err.find("no HID backend is built for TestOS"), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("use --simulate"), std::string::npos) << o.err;
    }
    // The profile commands need no mouse.
    EXPECT_EQ(run({"set", "ScrollSpeed=5"}).rc, 0);
    EXPECT_NE(run({"show"}).out.find("ScrollSpeed=5\n"), std::string::npos);
}

TEST_F(MivoctlTest, AHostWithoutPointerSettingsSendsTheReportsAndSaysThePointerIsUnchanged) {
    PartsHost host(sim, /*with_hid=*/true);
    auto apply = [&] {
        std::ostringstream out, err;
        const int rc = RunMivoctl({"--data-dir", dir.string(), "apply"}, out, err, nullptr, &host);
        return Outcome{rc, out.str(), err.str()};
    };
    Outcome o = apply();
    EXPECT_EQ(o.rc, 0) << o.err;
    EXPECT_NE(o.out.find("not changed on TestOS"), std::string::npos) << o.out;
    EXPECT_EQ(sim.log.Lines("hid.set").size(), 8u);
    for (const char* write : {"pointer.trails", "pointer.mouse", "pointer.dclick", "pointer.speed", "pointer.wheel"}) {
        EXPECT_TRUE(sim.log.Lines(write).empty()) << write;
    }
    EXPECT_EQ(sim.log.Lines("pointer.unavailable").size(), 1u);

    sim.hid.Unplug();
    o = apply();
    EXPECT_EQ(o.rc, 1);
    EXPECT_NE(o.err.find("no mouse found; nothing was applied"), std::string::npos) << o.err;
}

}  // namespace
}  // namespace mivo::cli
