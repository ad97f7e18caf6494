#include "sim/CommandInterpreter.h"

#include "sim/CommandLine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <vector>

namespace sim {

namespace {

const char kPathNotFound[] = "The system cannot find the path specified.\r\n";
const DWORD kUnknownCommand = 9009;

// The commands the interpreter knows. A command with a subcommand ("reg export") is that pair
// of words; its function gets the words after both.
struct CommandEntry {
    const wchar_t* name;
    const wchar_t* subcommand;
    CommandFunction run;
};

const CommandEntry kCommands[] = {
    {L"TYPE", nullptr, TypeCommand},
    {L"DIR", nullptr, DirCommand},
    {L"REG", L"EXPORT", RegExportCommand},
    {L"REG.EXE", L"EXPORT", RegExportCommand},
};

} // namespace

std::wstring StripOuterQuotes(const std::wstring& text) {
    size_t start = text.find_first_not_of(L" \t");
    if (start == std::wstring::npos || text[start] != L'"') {
        return text;
    }
    size_t last = text.rfind(L'"');
    if (last == start) {
        return text.substr(start + 1);
    }
    std::wstring inner = text.substr(start + 1, last - start - 1);
    bool twoQuotes = std::count(text.begin(), text.end(), L'"') == 2;
    bool special = inner.find_first_of(L"&<>()@^|") != std::wstring::npos;
    bool blank = inner.find_first_of(L" \t") != std::wstring::npos;
    if (twoQuotes && !special && blank) {
        ResolvedPath program = ResolveWindowsPath(inner);
        if (program.error == ERROR_SUCCESS && program.exists && !IsHostFolder(program.host)) {
            return text;
        }
    }
    return text.substr(0, start) + inner + text.substr(last + 1);
}

DWORD RunCommand(const std::wstring& commandLine, const CommandStreams& streams) {
    CommandLine parsed = ParseCommandLine(commandLine);
    OutputTarget output(streams.writeOutput);
    OutputTarget errors(streams.writeError);
    // Redirections take effect in order, up to a syntax error.
    for (const Redirection& redirection : parsed.redirections) {
        OutputTarget& target = redirection.errorStream ? errors : output;
        if (!target.Redirect(redirection.target, redirection.append)) {
            streams.writeError(kPathNotFound);
            return 1;
        }
    }
    if (parsed.syntaxError) {
        streams.writeError("The syntax of the command is incorrect.\r\n");
        return 1;
    }
    const std::vector<std::wstring>& words = parsed.words;
    if (words.empty()) {
        return 0;
    }
    CommandStreams redirected = streams;
    redirected.writeOutput = [&output](const std::string& text) { output.Write(text); };
    redirected.writeError = [&errors](const std::string& text) { errors.Write(text); };

    std::wstring command = UpperName(words[0]);
    for (const CommandEntry& entry : kCommands) {
        if (command != entry.name) {
            continue;
        }
        size_t skip = 1;
        if (entry.subcommand != nullptr) {
            if (words.size() < 2 || UpperName(words[1]) != entry.subcommand) {
                continue;
            }
            skip = 2;
        }
        std::vector<std::wstring> arguments(words.begin() + static_cast<std::ptrdiff_t>(skip),
                                            words.end());
        return entry.run(arguments, output, redirected);
    }
    redirected.writeError("'" + CommandAnsi(words[0]) +
                          "' is not recognized as an internal or external command,\r\n"
                          "operable program or batch file.\r\n");
    return kUnknownCommand;
}

} // namespace sim
