// zanprobe-regexport PREFIX KEY FILE [/reg:32|/reg:64]: loads the machine of a Wine prefix and
// writes the simulated `reg export` of KEY into FILE. The exit code is the export's (0 or 1);
// 2 for a wrong command line or a folder that is no Wine prefix. Loading problems go to stderr.
#include "sim/Machine.h"
#include "sim/RegExport.h"
#include "sim/WinePrefix.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::cerr << "usage: zanprobe-regexport PREFIX KEY FILE [/reg:32|/reg:64]\n";
        return 2;
    }
    REGSAM view = 0;
    if (argc == 5) {
        std::string option = argv[4];
        if (option == "/reg:32") {
            view = KEY_WOW64_32KEY;
        } else if (option == "/reg:64") {
            view = KEY_WOW64_64KEY;
        } else {
            std::cerr << "unknown option " << option << "\n";
            return 2;
        }
    }
    std::vector<std::string> problems;
    std::unique_ptr<sim::Machine> machine = sim::LoadWinePrefix(argv[1], problems);
    for (const std::string& problem : problems) {
        std::cerr << problem << "\n";
    }
    if (machine == nullptr) {
        return 2;
    }
    machine->launchViewer = false;
    sim::InstallMachine(std::move(machine));

    std::string key = argv[2];
    std::string file;
    DWORD exitCode = 1;
    if (!sim::ExportRegistryKey(std::wstring(key.begin(), key.end()), file, exitCode, view)) {
        std::cerr << sim::kRegExportMissingKey << "\n";
        return static_cast<int>(exitCode);
    }
    std::ofstream(argv[3], std::ios::binary) << file;
    return static_cast<int>(exitCode);
}
