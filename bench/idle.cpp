// CPU time the main window costs while it only sits there: dpi poll on the main page, breathing animation on the advanced page.
#include <benchmark/benchmark.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/host.h"
#include "app/mouse_config_dlg.h"
#include "device/apply.h"
#include "platform/platform.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_platform.h"
#include "resources/language.h"
#include "resources/paths.h"
#include "resources/skin.h"
#include "toolkit/base_ctrl.h"

namespace {

using namespace mivo;

constexpr int64_t kVirtualMs = 60'000;

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// One headless run of the main window with the real pictures beside the programs: `tab` is
// clicked (0: none), then 60 s of virtual time pass. Returns the CPU seconds those 60 s took;
// `frames` gets the number of frames presented in them.
double IdleRun(int tab, size_t& frames) {
    platform::sim::SimPlatform sim;
    platform::sim::SimDesktop desktop(sim.clock, sim.log);
    const std::unique_ptr<HostServices> host = MakeHostServices();
    const platform::Services host_services = host->services();
    platform::Services services = sim.services();
    services.codec = host_services.codec;
    services.fonts = host_services.fonts;
    services.paths = host_services.paths;
    services.desktop = &desktop;
    platform::ScopedServices scoped(services);
    SetModuleDirOverride(MIVO_RUNTIME_DIR);
    ResetLanguageStateForTests();
    ResetSkinCache();
    ResetHoverFlags();
    LastDpiCode() = 0;

    double started = 0;
    double used = 0;
    CMouseConfigDlg dlg("");
    std::vector<std::function<void()>> steps = {
        [&] {
            if (CBaseCtrl* button = dlg.FindCtrl(tab)) {
                const int x = (button->m_rect.left + button->m_rect.right) / 2;
                const int y = (button->m_rect.top + button->m_rect.bottom) / 2;
                desktop.Mouse("main", platform::sim::SimDesktop::MouseAction::Down, x, y);
                desktop.Mouse("main", platform::sim::SimDesktop::MouseAction::Up, x, y);
            }
        },
        [&] {
            // The event log grows by one line per presented frame; start from an empty one.
            sim.log.Clear();
            started = CpuSeconds();
            desktop.Wait(kVirtualMs);
        },
        [&] {
            used = CpuSeconds() - started;
            frames = sim.log.Lines("window.present").size();
        },
    };
    size_t next = 0;
    desktop.SetDriver([&] {
        if (next >= steps.size()) return false;
        steps[next++]();
        return true;
    });
    dlg.DoModal();
    ClearModuleDirOverride();
    return used;
}

void Report(benchmark::State& state, int tab) {
    if (!std::filesystem::exists(std::filesystem::path(MIVO_RUNTIME_DIR) / "UIPIC" / "MainWindow_normal.png")) {
        state.SkipWithError("the pictures are not built (UIPIC beside the programs)");
        return;
    }
    double total = 0;
    size_t frames = 0;
    for (auto _ : state) {
        const double cpu = IdleRun(tab, frames);
        total += cpu;
        state.SetIterationTime(cpu);
    }
    const double per_virtual_second_ms = total * 1000.0 / (static_cast<double>(state.iterations()) * 60.0);
    state.counters["cpu_ms_per_virtual_s"] = per_virtual_second_ms;
    // Share of one core: CPU ms per 1000 ms.
    state.counters["core_percent"] = per_virtual_second_ms / 10.0;
    state.counters["frames_per_virtual_s"] = static_cast<double>(frames) / 60.0;
}

// Main page: only the 700 ms dpi poll runs.
void BM_IdleMainPage(benchmark::State& state) { Report(state, 0); }
// Advanced page: the breathing preview at 25 frames a second recomposes the window each frame.
void BM_IdleAdvancedPage(benchmark::State& state) { Report(state, 5); }

BENCHMARK(BM_IdleMainPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IdleAdvancedPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
