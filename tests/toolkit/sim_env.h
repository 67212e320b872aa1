// Simulated platform for the toolkit tests: virtual clock, event log, paths into a fresh folder, sound.
#pragma once
#include "support/scratch_dir.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "auxiliary/sound.h"
#include "platform/platform.h"
#include "platform/sim/event_log.h"
#include "platform/sim/sim_clock.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_sound.h"

namespace mivo::test {


inline void WriteFile(const std::filesystem::path& p, const std::string& content) { WriteBytes(p, content); }

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Installs clock, log, paths (temporary folder = <scratch>/tmp) and sound for its lifetime.
struct SimEnv {
    SimEnv() {
        std::filesystem::create_directories(temp());
        std::filesystem::permissions(temp(), std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
        paths.temp = temp();
        platform::Services s;
        s.clock = &clock;
        s.diagnostics = &log;
        s.paths = &paths;
        s.sound = &sound;
        scope = std::make_unique<platform::ScopedServices>(s);
    }
    // The current player refers to this sound service: it must not outlive it.
    ~SimEnv() { ResetCurrentSound(); }
    std::filesystem::path temp() const { return dir.path() / "tmp"; }

    ScratchDir dir;
    platform::sim::SimClock clock;
    platform::sim::EventLog log{clock};
    platform::sim::SimPaths paths;
    platform::sim::SimSoundPlayer sound{log};
    std::unique_ptr<platform::ScopedServices> scope;
};

}  // namespace mivo::test
