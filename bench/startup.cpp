// Start-up time: from process start to the main window's first presented frame, in a headless run
// of mivo-config on the simulated mouse with the real assets (median of the repetitions).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// A data folder that sees the built pictures and language files, with its own profile.
fs::path MakeDataDir() {
    const fs::path bin = MIVO_RUNTIME_DIR;
    fs::path dir = fs::temp_directory_path() / ("mivo-bench-startup-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::error_code ec;
    fs::create_directory_symlink(bin / "UIPIC", dir / "UIPIC", ec);
    for (const auto& entry : fs::directory_iterator(bin)) {
        if (entry.path().extension() == ".lng") fs::copy_file(entry.path(), dir / entry.path().filename(),
                                                              fs::copy_options::overwrite_existing, ec);
    }
    std::ofstream(dir / "exit.script") << "tray rpress\nmenu exit\n";
    return dir;
}

// Milliseconds from spawning the program until its log shows the main window's first frame;
// negative when the program never presented one.
double TimeToFirstFrame(const fs::path& data) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const std::string program = (fs::path(MIVO_RUNTIME_DIR) / "mivo-config").string();
    const std::string data_dir = data.string(), script = (data / "exit.script").string();
    std::vector<std::string> args = {program, "--headless", "--simulate", "--data-dir", data_dir,
                                     "--script", script, "--log", "-"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    double ms = -1;
    if (spawned == 0) {
        FILE* out = fdopen(fds[0], "r");
        char line[512];
        while (out && std::fgets(line, sizeof line, out)) {
            if (ms < 0 && std::string(line).find(" window.present main ") != std::string::npos) {
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            }
        }
        if (out) std::fclose(out);
        int status = 0;
        waitpid(pid, &status, 0);
    } else {
        close(fds[0]);
    }
    return ms;
}

void BM_StartupToFirstFrame(benchmark::State& state) {
    const fs::path data = MakeDataDir();
    for (auto _ : state) {
        const double ms = TimeToFirstFrame(data);
        if (ms < 0) {
            state.SkipWithError("mivo-config presented no frame");
            break;
        }
        state.SetIterationTime(ms / 1000.0);
    }
    std::error_code ec;
    fs::remove_all(data, ec);
}

}  // namespace

BENCHMARK(BM_StartupToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(11)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });

BENCHMARK_MAIN();
