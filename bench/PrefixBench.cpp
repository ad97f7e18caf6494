// Timings of the simulated machine against the cost of the I/O it cannot avoid, measured side by
// side in one run:
//   prefixbench export   exporting a subtree of 1,000 and of 100,000 keys: processor time per key
//   prefixbench synth FRESH OUT   writes a synthetic prefix: the fresh prefix FRESH with
//                        100,000 keys of 10 values each of other programs added to its system.reg
// Each prints lines "name: figure" that bench/run.sh reads.
#include "SyntheticPrefix.h"
#include "sim/Machine.h"
#include "sim/RegExport.h"
#include "sim/Registry.h"
#include "sim/WinePrefix.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

// The best of a few runs, in seconds of the processor time the process took; what is to be done
// before each run is left off the clock. The work neither reads files nor waits, so that is its
// cost: the wall clock would add the time other programs of a shared machine take meanwhile,
// which a long run meets more of than a short one.
double Best(int runs, const std::function<void()>& work,
            const std::function<void()>& before = nullptr) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        if (before) {
            before();
        }
        std::clock_t start = std::clock();
        work();
        best = std::min(best, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    }
    return best;
}

std::unique_ptr<sim::Machine> Load(const std::string& path) {
    auto machine = std::make_unique<sim::Machine>();
    std::string arch;
    std::vector<std::string> problems;
    sim::LoadWineRegistryFile(path, *machine->registry.Tree(sim::RegRoot::LocalMachine), arch,
                              problems);
    return machine;
}

// Where LeaveCaches puts what it read, so that the reading is not left out.
volatile long g_Read = 0;

// Pushes what a run has just used out of the processor's nearest caches, as the rest of a
// program's run does between two exports, by reading memory of its own.
void LeaveCaches() {
    static std::vector<long> other((64 << 20) / sizeof(long), 1);
    long sum = 0;
    for (size_t i = 0; i < other.size(); i += 8) {
        sum += other[i];
    }
    g_Read = sum;
}

int Exporting() {
    bench::TempFolder folder;
    for (int keys : {1000, 100000}) {
        std::string path = folder.Path() + "/system.reg";
        bench::WriteRegistryFile(path, keys, 5);
        sim::InstallMachine(Load(path));
        std::string exported;
        int runs = keys > 10000 ? 5 : 50;
        auto exportOnce = [&] {
            DWORD exitCode = 0;
            sim::ExportRegistryKey(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", exported, exitCode);
        };
        // Each run as a program's run makes it, with the subtree and the output not in the
        // nearest caches.
        double took = Best(runs, exportOnce, LeaveCaches);
        std::printf(
            "export %d keys: %.3f us of processor time per key\nexport_us_per_key_%d: %.4f\n", keys,
            took / keys * 1e6, keys, took / keys * 1e6);
        sim::InstallMachine(sim::Machine::Empty());
    }
    return 0;
}

int Synthesize(const std::string& fresh, const std::string& out) {
    namespace fs = std::filesystem;
    fs::copy(fresh, out, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    std::string extra = out + "/synthetic.reg";
    bench::WriteRegistryFile(extra, 100000, 10, bench::KeyPlace::OtherPrograms);
    // The keys go after the prefix's own (without the extra file's header).
    std::ifstream in(extra, std::ios::binary);
    std::string line;
    for (int i = 0; i < 5 && std::getline(in, line); ++i) {
    }
    std::ofstream system(out + "/system.reg", std::ios::binary | std::ios::app);
    system << "\n" << in.rdbuf();
    in.close();
    fs::remove(extra);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "export") {
        return Exporting();
    }
    if (mode == "synth" && argc == 4) {
        return Synthesize(argv[2], argv[3]);
    }
    std::fprintf(stderr, "usage: prefixbench export | synth FRESH OUT\n");
    return 2;
}
