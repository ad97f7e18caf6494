// The Linux program: the diagnostics on the simulated Windows machine.
//
// The machine is the Wine prefix named by WINEPREFIX, else ~/.wine when that is a Wine prefix,
// else the empty machine. A WINEPREFIX that names no Wine prefix is an error (exit code 2), never
// a silent fallback; problems met while loading a prefix are reported and the run goes on.
#include "app/MainModule.h"
#include "app/terminal/TerminalView.h"
#ifdef ZANPROBE_HAVE_FLTK
#include "app/fltk/FltkFormView.h"
#endif
#include "sim/Machine.h"
#include "sim/WinePrefix.h"

#include <clocale>
#include <cstdlib>
#include <iostream>

// The window where a display can be opened, else the terminal.
std::unique_ptr<FormView> CreateFormView() {
#ifdef ZANPROBE_HAVE_FLTK
    if (FltkFormView::DisplayAvailable()) {
        return std::make_unique<FltkFormView>();
    }
#endif
    return std::make_unique<TerminalView>();
}

int main() {
    std::setlocale(LC_CTYPE, "C.UTF-8");

    std::string prefix;
    const char* winePrefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    if (winePrefix != nullptr && winePrefix[0] != '\0') {
        prefix = winePrefix;
        if (!sim::IsWinePrefix(prefix)) {
            std::cerr << "zanprobe7: WINEPREFIX names no Wine prefix (no system.reg in " << prefix
                      << ")\n";
            return 2;
        }
    } else if (home != nullptr && home[0] != '\0' &&
               sim::IsWinePrefix(std::string(home) + "/.wine")) {
        prefix = std::string(home) + "/.wine";
    }

    std::unique_ptr<sim::Machine> machine;
    if (!prefix.empty()) {
        std::vector<std::string> problems;
        machine = sim::LoadWinePrefix(prefix, problems);
        for (const std::string& problem : problems) {
            std::cerr << "zanprobe7: " << problem << "\n";
        }
    }
    if (machine == nullptr) {
        machine = sim::Machine::Empty();
    }
    machine->launchViewer = true;
    sim::InstallMachine(std::move(machine));
    return MainModule::Main();
}
