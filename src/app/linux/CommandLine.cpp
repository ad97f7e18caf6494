#include "app/linux/CommandLine.h"

#include "version.h"

namespace CommandLine {

const char kUsageHint[] = "Try 'zanprobe7 --help' for more information.";

namespace {

Options Error(const std::string& p_Text) {
    Options options;
    options.command = Command::UsageError;
    options.error = p_Text;
    return options;
}

// The options that only a diagnostic run takes, and the one that only the log commands take.
bool HasRunOption(const Options& p_Options) {
    return !p_Options.prefix.empty() || !p_Options.windows.empty() || !p_Options.user.empty() ||
           p_Options.empty || p_Options.terminal || p_Options.noOpen || p_Options.quiet;
}

// Reads the value of an option that takes one, as the next argument or after "=": false when
// the argument is not that option; error set when the value is missing or empty.
bool TakeValue(const std::vector<std::string>& p_Arguments, size_t& p_Index,
               const std::string& p_Name, const char* p_What, std::string& p_Value,
               std::string& p_Error) {
    const std::string& argument = p_Arguments[p_Index];
    if (argument == p_Name || argument.rfind(p_Name + "=", 0) == 0) {
        p_Value.clear();
    }
    if (argument == p_Name) {
        if (p_Index + 1 < p_Arguments.size()) {
            p_Value = p_Arguments[++p_Index];
        }
    } else if (argument.rfind(p_Name + "=", 0) == 0) {
        p_Value = argument.substr(p_Name.size() + 1);
    } else {
        return false;
    }
    if (p_Value.empty()) {
        p_Error = "option '" + p_Name + "' needs " + p_What;
    }
    return true;
}

const char* const kFormatOptions[] = {"", "--json", "--csv", "--html"};

// Checks what the options and the words after them make together.
Options Finish(Options p_Options, const std::vector<std::string>& p_Words) {
    if (p_Words.empty()) {
        if (p_Options.format != Format::Text) {
            return Error(std::string("option '") + kFormatOptions[int(p_Options.format)] +
                         "' applies only to summary and compare");
        }
        if (!p_Options.output.empty()) {
            return Error("option '-o' applies only to summary and compare");
        }
        int machines = !p_Options.prefix.empty() + !p_Options.windows.empty() + p_Options.empty;
        if (machines > 1) {
            return Error("options '--prefix', '--windows' and '--empty' exclude each other");
        }
        if (!p_Options.user.empty() && p_Options.windows.empty()) {
            return Error("option '--user' applies only with '--windows'");
        }
        return p_Options;
    }
    const std::string& command = p_Words[0];
    size_t files = p_Words.size() - 1;
    if (command == "summary") {
        if (files != 1) {
            return Error("summary takes one log file or folder");
        }
        p_Options.command = Command::Summary;
    } else if (command == "compare") {
        if (files != 2) {
            return Error("compare takes two log files, the old one and the new one");
        }
        if (p_Options.format == Format::Csv || p_Options.format == Format::Html) {
            return Error(std::string("compare takes no '") + kFormatOptions[int(p_Options.format)] +
                         "'");
        }
        p_Options.command = Command::Compare;
    } else {
        return Error("unknown command '" + command + "'");
    }
    if (HasRunOption(p_Options)) {
        return Error(command + " takes no options of a diagnostic run");
    }
    p_Options.files.assign(p_Words.begin() + 1, p_Words.end());
    return p_Options;
}

} // namespace

Options Parse(const std::vector<std::string>& p_Arguments) {
    Options options;
    std::string error;
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < p_Arguments.size(); ++i) {
        const std::string& argument = p_Arguments[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            words.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            options.command = Command::Help;
            return options;
        } else if (argument == "--version") {
            options.command = Command::Version;
            return options;
        } else if (TakeValue(p_Arguments, i, "--prefix", "a folder", options.prefix, error) ||
                   TakeValue(p_Arguments, i, "--windows", "a folder", options.windows, error) ||
                   TakeValue(p_Arguments, i, "--user", "a profile name", options.user, error)) {
            if (!error.empty()) {
                return Error(error);
            }
        } else if (argument == "--empty") {
            options.empty = true;
        } else if (argument == "--terminal") {
            options.terminal = true;
        } else if (argument == "--no-open") {
            options.noOpen = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "--json" || argument == "--csv" || argument == "--html") {
            Format format = argument == "--json"  ? Format::Json
                            : argument == "--csv" ? Format::Csv
                                                  : Format::Html;
            if (options.format != Format::Text && options.format != format) {
                return Error(std::string("options '") + kFormatOptions[int(options.format)] +
                             "' and '" + argument + "' exclude each other");
            }
            options.format = format;
        } else if (argument == "-o" || argument == "--output" ||
                   argument.rfind("--output=", 0) == 0) {
            if (argument.rfind("--output=", 0) == 0) {
                options.output = argument.substr(9);
            } else if (i + 1 < p_Arguments.size()) {
                options.output = p_Arguments[++i];
            }
            if (options.output.empty()) {
                return Error("option '" + argument.substr(0, 8) + "' needs a file");
            }
        } else {
            return Error("unknown option '" + argument + "'");
        }
    }
    return Finish(options, words);
}

std::string UsageText() {
    return "Usage: zanprobe7 [OPTION]...\n"
           "       zanprobe7 summary [--json|--html] [-o FILE] LOG\n"
           "       zanprobe7 summary [--json|--csv|--html] [-o FILE] FOLDER\n"
           "       zanprobe7 compare [--json] [-o FILE] OLD NEW\n"
           "\n"
           "Runs the Zanprobe 7 diagnostics on the Windows machine of a Wine prefix (WINEPREFIX,\n"
           "else ~/.wine, else an empty machine) and writes the report log Zanprobe7.txt into\n"
           "its temporary folder. With a display it opens the window, else it runs in the\n"
           "terminal.\n"
           "\n"
           "Options of a run:\n"
           "  --prefix DIR   inspect the Wine prefix DIR (wins over WINEPREFIX)\n"
           "  --windows DIR  inspect the Windows volume whose root is DIR (its registry hives\n"
           "                 and files; nothing is written to it, the log goes to TMPDIR or /tmp)\n"
           "  --user NAME    with --windows: the profile Users\\NAME (needed when several exist)\n"
           "  --empty        inspect the empty machine, even when a prefix exists\n"
           "  --terminal     run in the terminal, even with a display\n"
           "  --no-open      never hand the log to the desktop's viewer\n"
           "  -q, --quiet    print only the outcome lines\n"
           "\n"
           "Reading report logs (of either program; CR LF or LF line ends, Windows-1252,\n"
           "UTF-8 or UTF-16, plain or as the only .txt in a .zip):\n"
           "  summary LOG      the lines that need attention, by section, with what each\n"
           "                   means and what to ask the customer to do, and their counts\n"
           "  summary FOLDER   every log under FOLDER, zips included: a row per log, then\n"
           "                   each kind of finding with how many logs have it\n"
           "  compare OLD NEW  the sections and lines that changed between two runs\n"
           "  --json           the same as JSON\n"
           "  --csv            a folder's summary as CSV\n"
           "  --html           the summary as one self-contained HTML page\n"
           "  -o, --output FILE  write to FILE instead of standard output\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "  --version      print the version and exit\n"
           "  --             end of options\n"
           "\n"
           "Exit status:\n"
           "  0  the run completed; summary or compare read their logs\n"
           "  1  the run failed; a file is not a report log or cannot be read\n"
           "  2  usage error, or the machine cannot be loaded\n"
           "\n"
           "zanprobe7 " ZANPROBE_VERSION_TEXT "\n";
}

} // namespace CommandLine
