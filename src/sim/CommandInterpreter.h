// The simulated command interpreter: what `cmd /c ...` does on the simulated machine. It runs
// the commands the program needs, with Windows' output formats: `reg export`, `type`, `dir` and
// `chcp`, each with `>` and `>>` redirection of its output. Anything else fails as an unknown
// command does. The commands write their text in the console's code page.
#pragma once

#include "winapi/winapi.h"

#include <functional>
#include <string>
#include <vector>

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

// One redirection: ">" or "1>" (standard output), "2>" (standard error); doubled, it appends.
struct Redirection {
    bool errorStream = false;
    bool append = false;
    std::wstring target;
};

// A command line split into words (quotes group and are removed) and redirections, which need
// no blanks around them. Reading stops at a redirection without a target (syntaxError); the
// redirections before it are kept, in order.
struct ParsedCommand {
    std::vector<std::wstring> words;
    std::vector<Redirection> redirections;
    bool syntaxError = false;
};
ParsedCommand ParseCommandLine(const std::wstring& line);

// The console's output code page: the machine's OEM code page when the interpreter starts, until
// chcp changes it. CommandAnsi gives a text in it.
UINT& ConsoleCodePage();
std::string CommandAnsi(const std::wstring& text);
// A DWORD value of a key under the current user's root (a policy); 0 when absent.
DWORD UserPolicyValue(const char* key, const char* name);

// The commands, each given its arguments (the words after the command's name) and its streams,
// already redirected; each returns its exit code.
using CommandFunction = DWORD (*)(const std::vector<std::wstring>& arguments,
                                  const CommandStreams& streams);
DWORD TypeCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams);
DWORD DirCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams);
DWORD ChcpCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams);
DWORD RegExportCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams);

} // namespace sim
