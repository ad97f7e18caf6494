#include "sim/CommandInterpreter.h"

#include "sim/CodePage.h"
#include "sim/FileAttributes.h"
#include "sim/Handles.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <cwctype>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
    {L"TYPE", nullptr, TypeCommand},       {L"CHCP", nullptr, ChcpCommand},
    {L"CHCP.COM", nullptr, ChcpCommand},   {L"DIR", nullptr, DirCommand},
    {L"REG", L"EXPORT", RegExportCommand}, {L"REG.EXE", L"EXPORT", RegExportCommand},
};

// An output stream of one command, redirected into a file of the machine ("NUL" is the null
// device) or left as it is.
class RedirectedStream {
public:
    RedirectedStream() = default;
    RedirectedStream(const RedirectedStream&) = delete;
    RedirectedStream& operator=(const RedirectedStream&) = delete;
    ~RedirectedStream() {
        if (m_Fd >= 0) {
            close(m_Fd);
        }
    }

    // False when the file cannot be opened for writing.
    bool Open(const std::wstring& windowsPath, bool append) {
        std::string host = "/dev/null";
        if (UpperName(windowsPath) != L"NUL") {
            ResolvedPath resolved = ResolveWindowsPath(windowsPath);
            if (resolved.error != ERROR_SUCCESS || (resolved.exists && IsReadOnly(resolved.host))) {
                return false;
            }
            host = resolved.host;
        }
        int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC),
                      0666);
        if (fd < 0) {
            return false;
        }
        if (m_Fd >= 0) {
            close(m_Fd);
        }
        m_Fd = fd;
        return true;
    }
    // What writes to the stream: the file when redirected, else the stream it stands for.
    std::function<void(const std::string&)>
    Writer(const std::function<void(const std::string&)>& original) const {
        int fd = m_Fd;
        if (fd < 0) {
            return original;
        }
        return [fd](const std::string& text) { WriteAll(fd, text.data(), text.size()); };
    }

private:
    int m_Fd = -1;
};

DWORD RunOneCommand(const std::wstring& commandLine, const CommandStreams& streams) {
    ParsedCommand parsed = ParseCommandLine(commandLine);
    RedirectedStream output;
    RedirectedStream errors;
    // Redirections take effect in order, up to a syntax error.
    for (const Redirection& redirection : parsed.redirections) {
        RedirectedStream& target = redirection.errorStream ? errors : output;
        if (!target.Open(redirection.target, redirection.append)) {
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
    CommandStreams redirected{streams.readLine, output.Writer(streams.writeOutput),
                              errors.Writer(streams.writeError)};
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
        return entry.run(arguments, redirected);
    }
    redirected.writeError("'" + CommandAnsi(words[0]) +
                          "' is not recognized as an internal or external command,\r\n"
                          "operable program or batch file.\r\n");
    return kUnknownCommand;
}

// Commands joined by "&" (the next runs in any case), "&&" (only after success) and "||" (only
// after failure), outside quotes; the exit code of the last that ran.
DWORD RunChain(const std::wstring& line, const CommandStreams& streams) {
    DWORD exitCode = 0;
    bool quoted = false;
    wchar_t joiner = L'&';
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] == L'"') {
            quoted = !quoted;
        }
        bool ends = i == line.size() ||
                    (!quoted && (line[i] == L'&' ||
                                 (line[i] == L'|' && i + 1 < line.size() && line[i + 1] == L'|')));
        if (!ends) {
            continue;
        }
        bool runs = joiner == L'&' || (joiner == L'A' && exitCode == 0) ||
                    (joiner == L'|' && exitCode != 0);
        if (runs) {
            exitCode = RunOneCommand(line.substr(start, i - start), streams);
        }
        if (i < line.size()) {
            bool doubled = i + 1 < line.size() && line[i + 1] == line[i];
            joiner = line[i] == L'|' ? L'|' : (doubled ? L'A' : L'&');
            i += doubled ? 1 : 0;
            start = i + 1;
        }
    }
    return exitCode;
}

// The AutoRun command of one of the registry's Command Processor keys; empty when none.
std::wstring AutoRun(HKEY root) {
    HKEY opened = nullptr;
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    if (RegOpenKeyExA(root, "Software\\Microsoft\\Command Processor", 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
        return L"";
    }
    LSTATUS status =
        RegQueryValueExA(opened, "AutoRun", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS ? CodePageToWide(CurrentMachine().codePage, text) : L"";
}

} // namespace

const char kCommandPromptDisabled[] =
    "The command prompt has been disabled by your administrator.\r\n\r\n"
    "Press any key to continue . . .";

DWORD RunInterpreter(const std::wstring& arguments, const CommandStreams& streams) {
    ConsoleCodePage() = CurrentMachine().oemCodePage;
    // Switches up to /c, which takes the rest of the line as its command; without /c there is
    // nothing to run here.
    bool autoRun = true;
    size_t at = 0;
    std::wstring command;
    bool hasCommand = false;
    while ((at = arguments.find_first_not_of(L" \t", at)) != std::wstring::npos &&
           arguments[at] == L'/' && at + 1 < arguments.size()) {
        wchar_t letter = static_cast<wchar_t>(std::towupper(arguments[at + 1]));
        at += 2;
        if (letter == L'C') {
            command = arguments.substr(at);
            hasCommand = true;
            break;
        }
        autoRun = autoRun && letter != L'D';
        at = arguments.find_first_of(L" \t/", at);
        at = at == std::wstring::npos ? arguments.size() : at;
    }
    // The user policy "Prevent access to the command prompt" (1, and 2, which still lets the
    // system run batch files): cmd says so, waits for a key and ends with exit code 1.
    if (UserPolicyValue("Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD") != 0) {
        streams.writeOutput(kCommandPromptDisabled);
        std::string key;
        if (streams.readLine) {
            streams.readLine(key);
        }
        return 1;
    }
    if (!hasCommand) {
        return 0;
    }
    // The machine's AutoRun command, then the user's, before the command, unless /d.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        std::wstring extra = autoRun ? AutoRun(root) : L"";
        if (!extra.empty()) {
            RunChain(extra, streams);
        }
    }
    return RunChain(StripOuterQuotes(command), streams);
}

std::wstring ProgramOfCommandLine(const std::wstring& commandLine, std::wstring* rest) {
    size_t start = commandLine.find_first_not_of(L" \t");
    size_t end = commandLine.size();
    std::wstring program;
    if (start != std::wstring::npos && commandLine[start] == L'"') {
        size_t close = std::min(commandLine.find(L'"', start + 1), end);
        program = commandLine.substr(start + 1, close - start - 1);
        end = std::min(close + 1, end);
    } else if (start != std::wstring::npos) {
        end = std::min(commandLine.find_first_of(L" \t", start), end);
        program = commandLine.substr(start, end - start);
    }
    if (rest != nullptr) {
        *rest = commandLine.substr(end);
    }
    return program;
}

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
        if (program.error == ERROR_SUCCESS && program.exists && !S_ISDIR(program.mode)) {
            return text;
        }
    }
    return text.substr(0, start) + inner + text.substr(last + 1);
}
} // namespace sim
