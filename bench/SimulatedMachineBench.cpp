// How fast the simulated machine loads a Wine prefix's registry file and exports keys from it,
// and how long a whole run takes on it. The registry file is made up (SyntheticPrefix.h): N keys
// of a few values each, in Wine's format.
#include "SyntheticPrefix.h"
#include "run/Diagnostics.h"
#include "sim/Machine.h"
#include "sim/RegExport.h"
#include "sim/Registry.h"
#include "sim/WinePrefix.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A registry file of `keys` keys in a folder of its own.
struct RegistryFile {
    explicit RegistryFile(int keys) { bench::WriteRegistryFile(path, keys, 5); }
    bench::TempFolder folder;
    std::string path = folder.Path() + "/system.reg";
};

void LoadRegistryFile(benchmark::State& state) {
    RegistryFile file(static_cast<int>(state.range(0)));
    const std::string& path = file.path;
    for (auto _ : state) {
        sim::Machine machine;
        std::string arch;
        std::vector<std::string> problems;
        sim::RegKey* branch = machine.registry.Tree(sim::RegRoot::LocalMachine);
        benchmark::DoNotOptimize(sim::LoadWineRegistryFile(path, *branch, arch, problems));
    }
    std::ifstream text(path, std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.tellg()));
}
BENCHMARK(LoadRegistryFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ExportSubtree(benchmark::State& state) {
    RegistryFile file(static_cast<int>(state.range(0)));
    auto machine = std::make_unique<sim::Machine>();
    std::string arch;
    std::vector<std::string> problems;
    sim::LoadWineRegistryFile(file.path, *machine->registry.Tree(sim::RegRoot::LocalMachine), arch,
                              problems);
    sim::InstallMachine(std::move(machine));
    int64_t bytes = 0;
    for (auto _ : state) {
        std::string exported;
        DWORD exitCode = 0;
        sim::ExportRegistryKey(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", exported, exitCode);
        bytes += static_cast<int64_t>(exported.size());
    }
    state.SetBytesProcessed(bytes);
    sim::InstallMachine(sim::Machine::Empty());
}
BENCHMARK(ExportSubtree)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void WholeRunOnTheEmptyMachine(benchmark::State& state) {
    auto machine = sim::Machine::Empty();
    machine->launchViewer = false;
    sim::InstallMachine(std::move(machine));
    for (auto _ : state) {
        benchmark::DoNotOptimize(Diagnostics::RunDiagnostics());
    }
    g_LogFile.reset();
}
BENCHMARK(WholeRunOnTheEmptyMachine)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
