// The Linux program's command line: the options of a diagnostic run, the log reader's two
// commands, help and version. Parsing does nothing but read the arguments; main acts on them.
#pragma once

#include <string>
#include <vector>

namespace CommandLine {

enum class Command { Run, Help, Version, Summary, Compare, UsageError };

// How summary and compare write: text, --json, --csv (a folder's summary), --html (a page).
enum class Format { Text, Json, Csv, Html };

struct Options {
    Command command = Command::Run;
    // --prefix DIR: the Wine prefix to inspect; empty when not given.
    std::string prefix;
    // --windows DIR: the root of a Windows volume to inspect; --user NAME: its profile.
    std::string windows;
    std::string user;
    bool empty = false;    // --empty: the empty machine even when a prefix exists
    bool terminal = false; // --terminal: no window even with a display
    bool noOpen = false;   // --no-open: never hand the log to the viewer
    bool quiet = false;    // -q, --quiet: only the outcome lines
    Format format = Format::Text;
    // -o FILE, --output FILE: where summary and compare write; empty: standard output.
    std::string output;
    // The log file or folder of summary (one), the log files of compare (old, new).
    std::vector<std::string> files;
    // For UsageError: one line naming the offending argument.
    std::string error;
};

// Reads the arguments after the program name. Options may stand before or after the command
// and its files; "--" ends the options; --prefix, --windows and --user take their value as the
// next argument or after "=". -h/--help and --version win over everything after them except a usage
// error before.
Options Parse(const std::vector<std::string>& p_Arguments);

// The text of --help, ending in a line end.
std::string UsageText();

// The hint printed after a usage error.
extern const char kUsageHint[];

} // namespace CommandLine
