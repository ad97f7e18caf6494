// The simulated command interpreter: what `cmd /c ...` does on the simulated machine. It runs
// the commands the program needs, with Windows' output formats: `reg export`, `type`, `dir` and
// `chcp`, each with `>` and `>>` redirection of its output. Anything else fails as an unknown
// command does.
#pragma once

#include "winapi/winapi.h"

#include <functional>
#include <string>

namespace sim {

struct CommandStreams {
    // Reads one line of standard input; false at its end.
    std::function<bool(std::string&)> readLine;
    // Writes to standard output and standard error.
    std::function<void(const std::string&)> writeOutput;
    std::function<void(const std::string&)> writeError;
};

// The text that follows "cmd /c " with cmd's quote rule applied: when the text begins with a
// quote, that quote and the last quote of the text are removed (unless the text is exactly one
// quoted name of an existing file with a blank in it).
std::wstring StripOuterQuotes(const std::wstring& text);

// The program a command line names (the text inside its leading quotes, else up to the first
// blank) and, in `rest`, what follows it.
std::wstring ProgramOfCommandLine(const std::wstring& commandLine, std::wstring* rest = nullptr);

// What `cmd ARGUMENTS` does: the switches /d (no AutoRun commands of the registry) and /c (the
// rest of the line is the command, with the quote rule above); the user's DisableCMD policy.
// Returns the interpreter's exit code.
DWORD RunInterpreter(const std::wstring& arguments, const CommandStreams& streams);

// cmd's words when the user's policy disables it.
extern const char kCommandPromptDisabled[];

} // namespace sim
