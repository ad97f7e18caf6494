// The command interpreter's syntax and what its commands share: the words of a command and the
// redirections of its output streams, the output stream a command writes to (the process's own,
// or a file of the machine it is redirected to) and the console's code page.
#pragma once

#include "sim/CommandInterpreter.h"
#include "sim/Names.h"

#include <functional>
#include <string>
#include <vector>

namespace sim {

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

// The output of a command: the process's standard output, or a file it is redirected to.
class OutputTarget {
public:
    explicit OutputTarget(std::function<void(const std::string&)> fallback);
    ~OutputTarget();
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    // Redirects into a file of the machine ("NUL" discards); false when it cannot be opened.
    bool Redirect(const std::wstring& windowsPath, bool append);
    void Write(const std::string& bytes);

private:
    std::function<void(const std::string&)> m_Fallback;
    int m_Fd = -1;
    bool m_Discard = false;
};

// The console's output code page, which the commands write their text in: the machine's OEM
// code page when the interpreter starts, until chcp changes it.
UINT& ConsoleCodePage();

// Helpers the commands share (names are upper-cased with UpperName, sim/Names.h): a text in the
// console's output code page, and whether a host path is a folder.
std::string CommandAnsi(const std::wstring& text);
bool IsHostFolder(const std::string& hostPath);
// A DWORD value of a key under the current user's root (a policy); 0 when absent.
DWORD UserPolicyValue(const char* key, const char* name);

// The commands, each given its arguments (the words after the command's name), its output and
// its streams (already redirected); each returns its exit code.
using CommandFunction = DWORD (*)(const std::vector<std::wstring>& arguments, OutputTarget& output,
                                  const CommandStreams& streams);
DWORD TypeCommand(const std::vector<std::wstring>& arguments, OutputTarget& output,
                  const CommandStreams& streams);
DWORD DirCommand(const std::vector<std::wstring>& arguments, OutputTarget& output,
                 const CommandStreams& streams);
DWORD ChcpCommand(const std::vector<std::wstring>& arguments, OutputTarget& output,
                  const CommandStreams& streams);
DWORD RegExportCommand(const std::vector<std::wstring>& arguments, OutputTarget& output,
                       const CommandStreams& streams);

} // namespace sim
