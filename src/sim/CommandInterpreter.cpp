#include "sim/CommandInterpreter.h"

#include "sim/CodePage.h"
#include "sim/DateTime.h"
#include "sim/FileAttributes.h"
#include "sim/Machine.h"
#include "sim/Paths.h"
#include "sim/RegExport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace sim {

namespace {

const char kCrLf[] = "\r\n";
const char kFileNotFound[] = "The system cannot find the file specified.\r\n";
const char kPathNotFound[] = "The system cannot find the path specified.\r\n";
const DWORD kUnknownCommand = 9009;

std::string Ansi(const std::wstring& text) {
    return WideToCodePage(CurrentMachine().codePage, text);
}

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = UpperChar(c);
    }
    return text;
}

struct Token {
    std::wstring text;
    bool quoted = false;
    bool redirection = false;
};

// Splits a command line into words (quotes group and are removed) and the redirection
// operators ">", ">>", "1>", "1>>", "2>" and "2>>", which need no blanks around them.
std::vector<Token> Tokenize(const std::wstring& line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == L' ' || line[i] == L'\t') {
            ++i;
            continue;
        }
        bool stream =
            (line[i] == L'1' || line[i] == L'2') && i + 1 < line.size() && line[i + 1] == L'>';
        if (line[i] == L'>' || stream) {
            Token token;
            token.redirection = true;
            if (stream) {
                token.text += line[i++];
            }
            token.text += line[i++];
            if (i < line.size() && line[i] == L'>') {
                token.text += line[i++];
            }
            tokens.push_back(token);
            continue;
        }
        Token token;
        bool inQuotes = false;
        while (i < line.size() &&
               (inQuotes || (line[i] != L' ' && line[i] != L'\t' && line[i] != L'>'))) {
            if (line[i] == L'"') {
                inQuotes = !inQuotes;
                token.quoted = true;
            } else {
                token.text += line[i];
            }
            ++i;
        }
        tokens.push_back(token);
    }
    return tokens;
}

// The output of a command: the process's standard output, or a file it is redirected to.
class OutputTarget {
public:
    explicit OutputTarget(std::function<void(const std::string&)> fallback)
        : m_Fallback(std::move(fallback)) {}
    ~OutputTarget() {
        if (m_Fd >= 0) {
            close(m_Fd);
        }
    }
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    // Redirects into a file of the machine; false when it cannot be opened.
    bool Redirect(const std::wstring& windowsPath, bool append) {
        if (Upper(windowsPath) == L"NUL") {
            m_Discard = true;
            return true;
        }
        ResolvedPath resolved = ResolveWindowsPath(windowsPath);
        if (resolved.error != ERROR_SUCCESS || (resolved.exists && IsReadOnly(resolved.host))) {
            return false;
        }
        int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
        int fd = open(resolved.host.c_str(), flags, 0666);
        if (fd < 0) {
            return false;
        }
        if (m_Fd >= 0) {
            close(m_Fd);
        }
        m_Fd = fd;
        return true;
    }

    void Write(const std::string& bytes) {
        if (m_Discard) {
            return;
        }
        if (m_Fd < 0) {
            if (m_Fallback) {
                m_Fallback(bytes);
            }
            return;
        }
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t written = write(m_Fd, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return;
            }
            done += static_cast<size_t>(written);
        }
    }

private:
    std::function<void(const std::string&)> m_Fallback;
    int m_Fd = -1;
    bool m_Discard = false;
};

bool ReadHostFile(const std::string& hostPath, std::string& content) {
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    content = buffer.str();
    return true;
}

bool IsFolder(const std::string& hostPath) {
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// type FILE: copies the file; a UTF-16 file with its byte-order mark is converted to ANSI.
DWORD Type(const std::vector<std::wstring>& arguments, OutputTarget& output,
           const CommandStreams& streams) {
    if (arguments.empty()) {
        streams.writeError("The syntax of the command is incorrect.\r\n");
        return 1;
    }
    DWORD exitCode = 0;
    for (const std::wstring& name : arguments) {
        ResolvedPath resolved = ResolveWindowsPath(name);
        std::string content;
        if (resolved.error != ERROR_SUCCESS || !resolved.exists || IsFolder(resolved.host) ||
            !ReadHostFile(resolved.host, content)) {
            streams.writeError(kFileNotFound);
            exitCode = 1;
            continue;
        }
        if (content.size() >= 2 && static_cast<unsigned char>(content[0]) == 0xFF &&
            static_cast<unsigned char>(content[1]) == 0xFE) {
            std::wstring text;
            for (size_t i = 2; i + 1 < content.size(); i += 2) {
                text += static_cast<wchar_t>(static_cast<unsigned char>(content[i]) |
                                             (static_cast<unsigned char>(content[i + 1]) << 8));
            }
            output.Write(Ansi(text));
        } else {
            output.Write(content);
        }
    }
    return exitCode;
}

// reg export KEY FILE [/y] [/reg:32 | /reg:64]
DWORD RegExport(const std::vector<std::wstring>& arguments, const CommandStreams& streams) {
    std::vector<std::wstring> names;
    bool overwrite = false;
    int view = 0;
    for (const std::wstring& argument : arguments) {
        std::wstring upper = Upper(argument);
        if (upper == L"/Y") {
            overwrite = true;
        } else if (upper == L"/REG:32" || upper == L"/REG:64") {
            if (view != 0) {
                streams.writeError(
                    "ERROR: Invalid syntax.\r\nType \"REG EXPORT /?\" for usage.\r\n");
                return 1;
            }
            view = upper == L"/REG:32" ? 32 : 64;
        } else {
            names.push_back(argument);
        }
    }
    if (names.size() != 2) {
        streams.writeError("ERROR: Invalid syntax.\r\nType \"REG EXPORT /?\" for usage.\r\n");
        return 1;
    }
    ResolvedPath target = ResolveWindowsPath(names[1]);
    if (target.error != ERROR_SUCCESS) {
        streams.writeError("ERROR: " + std::string(kPathNotFound));
        return 1;
    }
    std::string exported;
    DWORD exitCode = 0;
    // A command started by the (32-bit) program reads the 32-bit view unless asked otherwise.
    REGSAM viewFlag = view == 64 ? KEY_WOW64_64KEY : (view == 32 ? KEY_WOW64_32KEY : 0);
    if (!ExportRegistryKey(names[0], exported, exitCode, viewFlag)) {
        streams.writeError(kRegExportMissingKey);
        return exitCode;
    }
    if (target.exists && !overwrite) {
        streams.writeOutput("File " + Ansi(names[1]) + " already exists. Overwrite (Yes/No)?");
        std::string answer;
        if (!streams.readLine || !streams.readLine(answer) ||
            (answer.empty() || (answer[0] != 'y' && answer[0] != 'Y'))) {
            streams.writeError("\r\nThe operation was cancelled.\r\n");
            return 1;
        }
    }
    if (target.exists && IsReadOnly(target.host)) {
        streams.writeError("ERROR: Access is denied.\r\n");
        return 1;
    }
    std::ofstream file(target.host, std::ios::binary | std::ios::trunc);
    file.write(exported.data(), static_cast<std::streamsize>(exported.size()));
    if (!file) {
        streams.writeError("ERROR: Access is denied.\r\n");
        return 1;
    }
    streams.writeOutput("The operation completed successfully.\r\n");
    return 0;
}

std::string Grouped(unsigned long long value) {
    std::string digits = std::to_string(value);
    std::string separator = Ansi(CurrentMachine().thousandSeparator);
    std::string result;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            result += separator;
        }
        result += digits[i];
    }
    return result;
}

std::string RightAligned(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// The date and time columns of "dir": the user's short date with two-digit day and month and a
// four-digit year, and the time in hours and minutes.
std::string DirDateTime(const SYSTEMTIME& time) {
    const Machine& machine = CurrentMachine();
    std::wstring date;
    const std::wstring& picture = machine.shortDatePicture;
    for (size_t i = 0; i < picture.size();) {
        wchar_t c = picture[i];
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) {
            ++run;
        }
        if ((c == L'd' || c == L'M') && run <= 2) {
            date += std::wstring(2, c);
        } else if (c == L'y') {
            date += L"yyyy";
        } else {
            date += picture.substr(i, run);
        }
        i += run;
    }
    bool twentyFourHours = machine.longTimePicture.find(L'H') != std::wstring::npos;
    std::wstring clock = twentyFourHours ? L"HH:mm" : L"hh:mm tt";
    return Ansi(RenderPicture(date, time)) + "  " + Ansi(RenderPicture(clock, time));
}

struct ListingTotals {
    unsigned long long files = 0;
    unsigned long long bytes = 0;
};

struct Entry {
    std::string hostName;
    std::wstring name;
    bool folder;
    struct stat info;
};

bool EntryBefore(const Entry& a, const Entry& b) {
    return Upper(a.name) < Upper(b.name);
}

void ListOneFolder(const std::string& hostFolder, const std::wstring& windowsFolder,
                   std::string& listing, ListingTotals& totals) {
    std::vector<Entry> entries;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(hostFolder.c_str()), closedir);
    if (!dir) {
        return;
    }
    while (dirent* item = readdir(dir.get())) {
        std::string name = item->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        Entry entry{name, Utf8ToWide(name), false, {}};
        if (stat((hostFolder + "/" + name).c_str(), &entry.info) != 0) {
            continue;
        }
        entry.folder = S_ISDIR(entry.info.st_mode);
        entries.push_back(entry);
    }
    dir.reset();
    std::sort(entries.begin(), entries.end(), EntryBefore);

    ListingTotals here;
    std::string lines;
    for (const Entry& entry : entries) {
        if (entry.folder) {
            continue;
        }
        unsigned long long size = static_cast<unsigned long long>(entry.info.st_size);
        lines += DirDateTime(LocalTimeOf(entry.info.st_mtime)) + "    " +
                 RightAligned(Grouped(size), 14) + " " + Ansi(entry.name) + kCrLf;
        ++here.files;
        here.bytes += size;
    }
    if (here.files > 0) {
        listing += " Directory of " + Ansi(windowsFolder) + kCrLf + kCrLf + lines;
        listing += RightAligned(std::to_string(here.files), 16) + " File(s) " +
                   RightAligned(Grouped(here.bytes), 14) + " bytes" + kCrLf + kCrLf;
        totals.files += here.files;
        totals.bytes += here.bytes;
    }
    for (const Entry& entry : entries) {
        if (entry.folder) {
            std::wstring child =
                windowsFolder + (windowsFolder.back() == L'\\' ? L"" : L"\\") + entry.name;
            ListOneFolder(hostFolder + "/" + entry.hostName, child, listing, totals);
        }
    }
}

// dir /s /a-d FOLDER
DWORD Dir(const std::vector<std::wstring>& arguments, OutputTarget& output,
          const CommandStreams& streams) {
    bool recurse = false;
    bool filesOnly = false;
    std::wstring folder;
    for (const std::wstring& argument : arguments) {
        std::wstring upper = Upper(argument);
        if (upper == L"/S") {
            recurse = true;
        } else if (upper == L"/A-D") {
            filesOnly = true;
        } else if (!upper.empty() && upper[0] == L'/') {
            streams.writeError("Invalid switch - \"" + Ansi(argument.substr(1)) + "\".\r\n");
            return 1;
        } else {
            folder = argument;
        }
    }
    if (!recurse || !filesOnly || folder.empty()) {
        // The program only ever lists whole folder trees of files.
        streams.writeError("The syntax of the command is incorrect.\r\n");
        return 1;
    }
    std::string listing;
    bool found = ListFolder(folder, listing);
    output.Write(listing);
    if (!found) {
        streams.writeError("File Not Found\r\n");
        return 1;
    }
    return 0;
}

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
        if (program.error == ERROR_SUCCESS && program.exists && !IsFolder(program.host)) {
            return text;
        }
    }
    return text.substr(0, start) + inner + text.substr(last + 1);
}

bool ListFolder(const std::wstring& folder, std::string& listing) {
    std::wstring path = folder;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) {
        path.pop_back();
    }
    wchar_t drive = path.size() >= 2 && path[1] == L':' ? UpperChar(path[0]) : L'C';
    const Machine& machine = CurrentMachine();
    char serial[16];
    std::snprintf(serial, sizeof serial, "%04X-%04X",
                  static_cast<unsigned>(machine.volumeSerial >> 16),
                  static_cast<unsigned>(machine.volumeSerial & 0xffff));
    listing = " Volume in drive " + Ansi(std::wstring(1, drive)) +
              (machine.volumeLabel.empty() ? std::string(" has no label.")
                                           : " is " + Ansi(machine.volumeLabel)) +
              kCrLf + " Volume Serial Number is " + serial + kCrLf + kCrLf;
    ResolvedPath resolved = ResolveWindowsPath(path);
    if (resolved.error != ERROR_SUCCESS || !resolved.exists || !IsFolder(resolved.host)) {
        return false;
    }
    ListingTotals totals;
    ListOneFolder(resolved.host, resolved.longForm, listing, totals);
    if (totals.files == 0) {
        return false;
    }
    struct statvfs volume;
    unsigned long long freeBytes = 0;
    if (statvfs(resolved.host.c_str(), &volume) == 0) {
        freeBytes = static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize;
    }
    listing += std::string("     Total Files Listed:") + kCrLf +
               RightAligned(std::to_string(totals.files), 16) + " File(s) " +
               RightAligned(Grouped(totals.bytes), 14) + " bytes" + kCrLf + RightAligned("0", 16) +
               " Dir(s) " + RightAligned(Grouped(freeBytes), 15) + " bytes free" + kCrLf;
    return true;
}

DWORD RunCommand(const std::wstring& commandLine, const CommandStreams& streams) {
    std::vector<Token> tokens = Tokenize(commandLine);
    OutputTarget output(streams.writeOutput);
    OutputTarget errors(streams.writeError);
    std::vector<std::wstring> words;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].redirection) {
            words.push_back(tokens[i].text);
            continue;
        }
        if (i + 1 >= tokens.size() || tokens[i + 1].redirection) {
            streams.writeError("The syntax of the command is incorrect.\r\n");
            return 1;
        }
        const std::wstring& op = tokens[i].text;
        bool append = op.size() >= 2 && op.substr(op.size() - 2) == L">>";
        OutputTarget& target = op[0] == L'2' ? errors : output;
        if (!target.Redirect(tokens[++i].text, append)) {
            streams.writeError(kPathNotFound);
            return 1;
        }
    }
    if (words.empty()) {
        return 0;
    }
    CommandStreams redirected = streams;
    redirected.writeOutput = [&output](const std::string& text) { output.Write(text); };
    redirected.writeError = [&errors](const std::string& text) { errors.Write(text); };

    std::wstring command = Upper(words[0]);
    std::vector<std::wstring> arguments(words.begin() + 1, words.end());
    if (command == L"TYPE") {
        return Type(arguments, output, redirected);
    }
    if (command == L"DIR") {
        return Dir(arguments, output, redirected);
    }
    if ((command == L"REG" || command == L"REG.EXE") && !arguments.empty() &&
        Upper(arguments[0]) == L"EXPORT") {
        return RegExport(std::vector<std::wstring>(arguments.begin() + 1, arguments.end()),
                         redirected);
    }
    redirected.writeError("'" + Ansi(words[0]) +
                          "' is not recognized as an internal or external command,\r\n"
                          "operable program or batch file.\r\n");
    return kUnknownCommand;
}

} // namespace sim
