// What the group and key phases cost: building the script, the Program
// Manager carrying it out on disk (every file flushed and renamed), and one
// registry value written.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "machine.h"
#include "register/group_script.h"
#include "register/install_key.h"
#include "shell/progman.h"

namespace {

// A machine in a temporary folder, with c:\quorix made, for the length of a benchmark.
class BenchMachine {
public:
    BenchMachine()
    {
        char pattern[] = "/tmp/quorix-bench.XXXXXX";
        folder_ = mkdtemp(pattern);
        platform::Options options;
        options.root = folder_ + "/machine";
        options.ui = "script";
        std::string error;
        platform::start_machine(options, error);
        std::filesystem::create_directories(options.root + "/drive_c/quorix");
    }
    ~BenchMachine()
    {
        platform::stop_machine(0);
        std::filesystem::remove_all(folder_);
    }
    std::string root() const { return folder_ + "/machine"; }

private:
    std::string folder_;
};

void BM_BuildGroupScript(benchmark::State& state)
{
    BenchMachine machine;
    char block[DDE_COMMANDS_SIZE];
    for (auto _ : state) {
        build_group_script("c:\\quorix", block);
        benchmark::DoNotOptimize(block);
    }
}
BENCHMARK(BM_BuildGroupScript);

void BM_ProgramManagerCarriesOutTheScript(benchmark::State& state)
{
    BenchMachine machine;
    char block[DDE_COMMANDS_SIZE];
    build_group_script("c:\\quorix", block);
    std::string active;
    std::vector<platform::shell::CommandOutcome> outcomes;
    for (auto _ : state) {
        bool ok = platform::shell::execute_commands(machine.root(), block, active, outcomes);
        if (!ok) state.SkipWithError("the script was refused");
    }
}
BENCHMARK(BM_ProgramManagerCarriesOutTheScript)->Unit(benchmark::kMillisecond);

void BM_WriteInstallKey(benchmark::State& state)
{
    BenchMachine machine;
    for (auto _ : state)
        if (write_install_key("c:\\quorix", "8.2") != 0) state.SkipWithError("the key was not written");
}
BENCHMARK(BM_WriteInstallKey)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
