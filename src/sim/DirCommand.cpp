// `dir /s /a-d FOLDER`: the files of a folder tree in Windows' listing layout.
#include "sim/CommandInterpreter.h"

#include "sim/CodePage.h"
#include "sim/DateTime.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <utility>
#include <vector>

namespace sim {

namespace {

const char kCrLf[] = "\r\n";

std::string Grouped(unsigned long long value) {
    std::string digits = std::to_string(value);
    std::string separator = CommandAnsi(CurrentMachine().thousandSeparator);
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
    return CommandAnsi(RenderPicture(date, time)) + "  " + CommandAnsi(RenderPicture(clock, time));
}

struct ListingTotals {
    unsigned long long files = 0;
    unsigned long long bytes = 0;
};

struct Entry {
    std::string hostName;
    std::wstring name;
    struct stat info;
};

// The folders being listed, from the top one down: a folder among them reached again (through a
// symbolic link back up the tree, as Wine prefixes hold) is not entered a second time.
using FolderChain = std::vector<std::pair<dev_t, ino_t>>;

bool OnChain(const FolderChain& chain, const struct stat& info) {
    for (const auto& folder : chain) {
        if (folder.first == info.st_dev && folder.second == info.st_ino) {
            return true;
        }
    }
    return false;
}

void ListOneFolder(const std::string& hostFolder, const std::wstring& windowsFolder,
                   std::string& listing, ListingTotals& totals, FolderChain& chain) {
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
        Entry entry{name, Utf8ToWide(name), {}};
        if (stat((hostFolder + "/" + name).c_str(), &entry.info) != 0) {
            continue;
        }
        entries.push_back(entry);
    }
    dir.reset();
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return UpperName(a.name) < UpperName(b.name); });

    ListingTotals here;
    std::string lines;
    for (const Entry& entry : entries) {
        if (S_ISDIR(entry.info.st_mode)) {
            continue;
        }
        unsigned long long size = static_cast<unsigned long long>(entry.info.st_size);
        lines += DirDateTime(LocalTimeOf(entry.info.st_mtime)) + "    " +
                 RightAligned(Grouped(size), 14) + " " + CommandAnsi(entry.name) + kCrLf;
        ++here.files;
        here.bytes += size;
    }
    if (here.files > 0) {
        listing += " Directory of " + CommandAnsi(windowsFolder) + kCrLf + kCrLf + lines;
        listing += RightAligned(std::to_string(here.files), 16) + " File(s) " +
                   RightAligned(Grouped(here.bytes), 14) + " bytes" + kCrLf + kCrLf;
        totals.files += here.files;
        totals.bytes += here.bytes;
    }
    for (const Entry& entry : entries) {
        if (S_ISDIR(entry.info.st_mode)) {
            std::wstring child =
                windowsFolder + (windowsFolder.back() == L'\\' ? L"" : L"\\") + entry.name;
            if (OnChain(chain, entry.info)) {
                continue;
            }
            chain.emplace_back(entry.info.st_dev, entry.info.st_ino);
            ListOneFolder(hostFolder + "/" + entry.hostName, child, listing, totals, chain);
            chain.pop_back();
        }
    }
}

// The listing of a folder tree, in Windows' layout; false when it holds no file.
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
    listing = " Volume in drive " + CommandAnsi(std::wstring(1, drive)) + " has no label." + kCrLf +
              " Volume Serial Number is " + serial + kCrLf + kCrLf;
    ResolvedPath resolved = ResolveWindowsPath(path);
    if (resolved.error != ERROR_SUCCESS || !resolved.exists || !S_ISDIR(resolved.mode)) {
        return false;
    }
    ListingTotals totals;
    FolderChain chain;
    struct stat top;
    if (stat(resolved.host.c_str(), &top) == 0) {
        chain.emplace_back(top.st_dev, top.st_ino);
    }
    ListOneFolder(resolved.host, resolved.longForm, listing, totals, chain);
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

} // namespace

DWORD DirCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams) {
    bool recurse = false;
    bool filesOnly = false;
    std::wstring folder;
    for (const std::wstring& argument : arguments) {
        std::wstring upper = UpperName(argument);
        if (upper == L"/S") {
            recurse = true;
        } else if (upper == L"/A-D") {
            filesOnly = true;
        } else if (!upper.empty() && upper[0] == L'/') {
            streams.writeError("Invalid switch - \"" + CommandAnsi(argument.substr(1)) + "\".\r\n");
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
    streams.writeOutput(listing);
    if (!found) {
        streams.writeError("File Not Found\r\n");
        return 1;
    }
    return 0;
}

} // namespace sim
