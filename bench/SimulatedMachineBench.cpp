// How fast the simulated machine loads a Wine prefix's registry file and exports keys from it,
// and how long a whole run takes on it. The registry file is made up here: N keys of a few
// values each, in Wine's format.
#include "run/Diagnostics.h"
#include "sim/Machine.h"
#include "sim/RegExport.h"
#include "sim/Registry.h"
#include "sim/WinePrefix.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string MakeRegistryFile(int keys) {
    char pattern[] = "/tmp/zanprobe-bench-XXXXXX";
    int fd = mkstemp(pattern);
    close(fd);
    std::ofstream file(pattern, std::ios::binary);
    file << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
    for (int i = 0; i < keys; ++i) {
        file << "[Software\\\\Zandorel\\\\Bench\\\\Group" << i / 100 << "\\\\Key" << i
             << "] 1700000000\n"
             << "#time=1d9a0b0c0d0e0f0\n"
             << "@=\"default value " << i << "\"\n"
             << "\"Path\"=str(2):\"%SystemRoot%\\\\system32\\\\file" << i << ".dll\"\n"
             << "\"Count\"=dword:" << std::hex << i << std::dec << "\n"
             << "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,"
                "17,\\\n"
             << "  18,19,1a,1b,1c,1d,1e,1f\n\n";
    }
    return pattern;
}

void LoadRegistryFile(benchmark::State& state) {
    std::string path = MakeRegistryFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        sim::Machine machine;
        std::string arch;
        std::vector<std::string> problems;
        sim::RegKey* branch = machine.registry.Tree(sim::RegRoot::LocalMachine);
        benchmark::DoNotOptimize(sim::LoadWineRegistryFile(path, *branch, arch, problems));
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.tellg()));
    std::remove(path.c_str());
}
BENCHMARK(LoadRegistryFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void ExportSubtree(benchmark::State& state) {
    std::string path = MakeRegistryFile(static_cast<int>(state.range(0)));
    auto machine = std::make_unique<sim::Machine>();
    std::string arch;
    std::vector<std::string> problems;
    sim::LoadWineRegistryFile(path, *machine->registry.Tree(sim::RegRoot::LocalMachine), arch,
                              problems);
    std::remove(path.c_str());
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
