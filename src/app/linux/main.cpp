// The Linux program: the diagnostics on the simulated Windows machine, and the log reader.
//
// The machine is the Wine prefix named by --prefix, else by WINEPREFIX, else ~/.wine when that
// is a Wine prefix, else the empty machine (always with --empty). A prefix named by the option
// or WINEPREFIX that is no Wine prefix is an error (exit code 2), never a silent fallback;
// problems met while loading a prefix are reported and the run goes on.
#include "app/MainModule.h"
#include "app/linux/CommandLine.h"
#include "app/terminal/TerminalView.h"
#ifdef ZANPROBE_HAVE_FLTK
#include "app/fltk/FltkFormView.h"
#endif
#include "logreader/LogCommands.h"
#include "sim/Machine.h"
#include "sim/WinePrefix.h"
#include "version.h"

#include <clocale>
#include <cstdlib>
#include <iostream>

namespace {

// How the run's view is chosen; set from the command line before the run starts.
struct ViewChoice {
    bool terminal = false;
    bool quiet = false;
} s_ViewChoice;

// The machine to inspect, or null after an error has been reported.
std::unique_ptr<sim::Machine> LoadMachine(const CommandLine::Options& p_Options) {
    std::string prefix;
    const char* winePrefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    if (p_Options.empty) {
        return sim::Machine::Empty();
    }
    std::string named = !p_Options.prefix.empty()                     ? p_Options.prefix
                        : winePrefix != nullptr && winePrefix[0] != 0 ? winePrefix
                                                                      : "";
    if (!named.empty()) {
        prefix = named;
        if (!sim::IsWinePrefix(prefix)) {
            std::cerr << "zanprobe7: " << (p_Options.prefix.empty() ? "WINEPREFIX" : "--prefix")
                      << " names no Wine prefix (no system.reg in " << prefix << ")\n";
            return nullptr;
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
    return machine != nullptr ? std::move(machine) : sim::Machine::Empty();
}

} // namespace

// The window where a display can be opened and the terminal is not asked for, else the
// terminal.
std::unique_ptr<FormView> CreateFormView() {
#ifdef ZANPROBE_HAVE_FLTK
    if (!s_ViewChoice.terminal && FltkFormView::DisplayAvailable()) {
        return std::make_unique<FltkFormView>();
    }
#endif
    return std::make_unique<TerminalView>(stdout, s_ViewChoice.quiet);
}

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    CommandLine::Options options =
        CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.command) {
    case CommandLine::Command::UsageError:
        std::cerr << "zanprobe7: " << options.error << "\n" << CommandLine::kUsageHint << "\n";
        return 2;
    case CommandLine::Command::Help:
        std::cout << CommandLine::UsageText();
        return 0;
    case CommandLine::Command::Version:
        std::cout << "zanprobe7 " ZANPROBE_VERSION_TEXT "\n";
        return 0;
    case CommandLine::Command::Summary:
        return LogReader::RunSummary(options.files[0], options.json, std::cout, std::cerr);
    case CommandLine::Command::Compare:
        return LogReader::RunCompare(options.files[0], options.files[1], options.json, std::cout,
                                     std::cerr);
    case CommandLine::Command::Run:
        break;
    }

    std::unique_ptr<sim::Machine> machine = LoadMachine(options);
    if (machine == nullptr) {
        return 2;
    }
    machine->launchViewer = !options.noOpen;
    s_ViewChoice = {options.terminal, options.quiet};
    sim::InstallMachine(std::move(machine));
    return MainModule::Main();
}
