// From process start to the main window filled over the demo database and first
// painted (offscreen), against a bare QApplication with an empty QMainWindow shown
// and painted, both started as processes in the same run.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string probe;
std::string configPath;

void runProbe(benchmark::State& state, const std::string& argument) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        std::vector<char*> args{probe.data(), const_cast<char*>(argument.c_str()), nullptr};
        if (posix_spawn(&pid, probe.c_str(), nullptr, nullptr, args.data(), environ) != 0) {
            state.SkipWithError("cannot start the probe");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        const auto end = std::chrono::steady_clock::now();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the probe failed");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}

void BM_Bare(benchmark::State& state) { runProbe(state, "bare"); }
void BM_MainWindow(benchmark::State& state) { runProbe(state, configPath); }

}  // namespace

int main(int argc, char** argv) {
    // startup_bench PROBE CONFIG [benchmark options]
    if (argc < 3) return 2;
    probe = argv[1];
    configPath = argv[2];
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::RegisterBenchmark("startup/bare", BM_Bare)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/zelvan", BM_MainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);
    int rest = argc - 2;
    argv[2] = argv[0];
    benchmark::Initialize(&rest, argv + 2);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
