// The Linux program: the diagnostics on the simulated Windows machine, and the log reader.
//
// The machine is the Windows volume named by --windows, else the Wine prefix named by --prefix,
// else by WINEPREFIX, else ~/.wine when that is a Wine prefix, else the empty machine (always
// with --empty). A prefix named by the option
// or WINEPREFIX that is no Wine prefix is an error (exit code 2), never a silent fallback;
// problems met while loading a prefix are reported and the run goes on.
#include "app/MainModule.h"
#include "app/linux/CommandLine.h"
#include "app/terminal/TerminalView.h"
#ifdef ZANPROBE_HAVE_FLTK
#include "app/FormMain.h"
#include "app/fltk/WindowModule.h"
#endif
#include "logreader/LogCommands.h"
#include "sim/Machine.h"
#include "sim/WindowsVolume.h"
#include "sim/WinePrefix.h"
#include "version.h"

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <strings.h>
#include <unistd.h>
#ifdef ZANPROBE_HAVE_FLTK
#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// How the run's view is chosen; set from the command line before the run starts.
struct ViewChoice {
    bool terminal = false;
    bool quiet = false;
} s_ViewChoice;

void ReportProblems(const std::vector<std::string>& p_Problems) {
    for (const std::string& problem : p_Problems) {
        std::cerr << "zanprobe7: " << problem << "\n";
    }
}

std::string Joined(const std::vector<std::string>& p_Names) {
    std::string joined;
    for (const std::string& name : p_Names) {
        joined += (joined.empty() ? "" : ", ") + name;
    }
    return joined;
}

// The machine of the Windows volume of --windows, for the profile of --user or the only one;
// null after an error has been reported.
std::unique_ptr<sim::Machine> LoadVolume(const CommandLine::Options& p_Options) {
    const std::string& root = p_Options.windows;
    if (!sim::IsWindowsVolume(root)) {
        std::cerr << "zanprobe7: --windows names no Windows volume (no Windows/System32/config in "
                  << root << ")\n";
        return nullptr;
    }
    std::vector<std::string> profiles = sim::VolumeProfiles(root);
    std::string user = p_Options.user;
    if (user.empty() && profiles.size() > 1) {
        std::cerr << "zanprobe7: the volume has several profiles (" << Joined(profiles)
                  << "); name one with --user\n"
                  << CommandLine::kUsageHint << "\n";
        return nullptr;
    }
    if (user.empty() && profiles.size() == 1) {
        user = profiles[0];
    } else if (user.empty()) {
        std::cerr << "zanprobe7: the volume has no profile with an NTUSER.DAT; "
                     "HKEY_CURRENT_USER is empty\n";
    } else {
        auto found = std::find_if(profiles.begin(), profiles.end(), [&](const std::string& p) {
            return strcasecmp(p.c_str(), user.c_str()) == 0;
        });
        if (found == profiles.end()) {
            std::cerr << "zanprobe7: the volume has no profile " << user << " with an NTUSER.DAT"
                      << (profiles.empty() ? "" : " (its profiles: " + Joined(profiles) + ")")
                      << "\n";
            return nullptr;
        }
        user = *found;
    }
    std::string error;
    // Problems inside the hives are met while the run reads them, and reported then.
    std::unique_ptr<sim::Machine> machine = sim::LoadWindowsVolume(
        root, user, [](const std::string& p_Problem) { ReportProblems({p_Problem}); }, error);
    if (machine == nullptr) {
        std::cerr << "zanprobe7: " << error << "\n";
    }
    return machine;
}

// The machine to inspect, or null after an error has been reported.
std::unique_ptr<sim::Machine> LoadMachine(const CommandLine::Options& p_Options) {
    if (!p_Options.windows.empty()) {
        return LoadVolume(p_Options);
    }
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
        ReportProblems(problems);
    }
    return machine != nullptr ? std::move(machine) : sim::Machine::Empty();
}

#ifdef ZANPROBE_HAVE_FLTK
// What the window module calls in the program.
const WindowHost kWindowHost = {
    [](FormMain& p_Form) { p_Form.Form_Activate(); },
    [](FormMain& p_Form, bool& p_Cancel, int p_Mode) { p_Form.Form_QueryUnload(p_Cancel, p_Mode); },
    [](FormMain& p_Form) { p_Form.CommandRun57Tests_Click(); },
    [](FormMain& p_Form, int p_Value) { p_Form.CheckboxChanged(p_Value); },
    &Utilities::ToUtf8,
};

// The window module's path: ZANPROBE_WINDOW_MODULE from the program's own folder, never from the
// current folder or a search path; "" when the program's path cannot be read.
std::string WindowModulePath() {
    char program[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", program, sizeof program);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof program) {
        return "";
    }
    std::string path(program, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + ZANPROBE_WINDOW_MODULE;
}

// Whether a file or folder can only have been put there by the user or the system: it belongs to
// root or the user, and no one else may write it (a group that may is root's or the user's).
bool OnlyOursToWrite(const std::string& p_Path) {
    struct stat info {};
    if (stat(p_Path.c_str(), &info) != 0) {
        // Missing: loading reports that.
        return true;
    }
    bool owner = info.st_uid == 0 || info.st_uid == geteuid();
    bool group = (info.st_mode & S_IWGRP) == 0 || info.st_gid == 0 || info.st_gid == getegid();
    return owner && group && (info.st_mode & S_IWOTH) == 0;
}

// The window on the display named by DISPLAY from the window module; null when no display can be
// opened, and null after a line on stderr when the module cannot be used.
std::unique_ptr<FormView> LoadWindowView() {
    std::string path = WindowModulePath();
    std::string problem;
    void* module = nullptr;
    if (path.empty()) {
        problem = "the program's own path cannot be read";
    } else if (!OnlyOursToWrite(path) || !OnlyOursToWrite(path.substr(0, path.rfind('/')))) {
        problem = path + ": it or its folder may be changed by other users";
    } else if ((module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) == nullptr) {
        problem = dlerror();
    } else {
        auto build =
            reinterpret_cast<WindowBuildFunction>(dlsym(module, ZANPROBE_WINDOW_BUILD_FUNCTION));
        auto create =
            reinterpret_cast<WindowCreateFunction>(dlsym(module, ZANPROBE_WINDOW_CREATE_FUNCTION));
        if (build == nullptr || create == nullptr) {
            problem = path + ": not a window module";
        } else if (std::strcmp(build(), ZANPROBE_WINDOW_BUILD) != 0) {
            problem = path + ": from another build (" + build() +
                      "; this program's is " ZANPROBE_WINDOW_BUILD ")";
        } else {
            // Stays loaded to the end of the process.
            return std::unique_ptr<FormView>(create(&kWindowHost));
        }
        dlclose(module);
    }
    std::cerr << "zanprobe7: the window cannot be opened: " << problem
              << "; the run is shown in the terminal\n";
    return nullptr;
}
#endif

} // namespace

// The window where a display can be opened and the terminal is not asked for, else the
// terminal. The window's code (and FLTK and X with it) is loaded only then.
std::unique_ptr<FormView> CreateFormView() {
#ifdef ZANPROBE_HAVE_FLTK
    const char* display = std::getenv("DISPLAY");
    if (!s_ViewChoice.terminal && display != nullptr && display[0] != '\0') {
        if (std::unique_ptr<FormView> window = LoadWindowView()) {
            return window;
        }
    }
#endif
    return std::make_unique<TerminalView>(stdout, s_ViewChoice.quiet);
}

namespace {

// summary and compare, written to standard output or to the -o file.
int RunLogCommand(const CommandLine::Options& p_Options) {
    std::ofstream file;
    if (!p_Options.output.empty()) {
        file.open(p_Options.output, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::cerr << "zanprobe7: " << p_Options.output << ": cannot be written\n";
            return 1;
        }
    }
    std::ostream& out = p_Options.output.empty() ? std::cout : file;
    int code = 0;
    if (p_Options.command == CommandLine::Command::Compare) {
        code = LogReader::RunCompare(p_Options.files[0], p_Options.files[1],
                                     p_Options.format == CommandLine::Format::Json, out, std::cerr);
    } else {
        const LogReader::OutputFormat formats[] = {
            LogReader::OutputFormat::Text, LogReader::OutputFormat::Json,
            LogReader::OutputFormat::Csv, LogReader::OutputFormat::Html};
        code =
            LogReader::RunSummary(p_Options.files[0], formats[static_cast<int>(p_Options.format)],
                                  isatty(STDERR_FILENO) != 0, out, std::cerr);
    }
    out.flush();
    if (!out) {
        std::cerr << "zanprobe7: "
                  << (p_Options.output.empty() ? "standard output" : p_Options.output)
                  << ": cannot be written\n";
        return 1;
    }
    return code;
}

} // namespace

// The Linux program's machine is its own: no other instance shares its mutexes.
void BringOtherInstanceToFront() {}

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
    case CommandLine::Command::Compare:
        return RunLogCommand(options);
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
