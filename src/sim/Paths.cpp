#include "sim/Paths.h"

#include "sim/CodePage.h"
#include "sim/Machine.h"

#include <cwctype>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unordered_map>

namespace sim {

namespace {

// The mode stat finds for a host path (following links); 0 when there is nothing there.
mode_t ModeOf(const std::string& host) {
    struct stat info;
    return stat(host.c_str(), &info) == 0 ? info.st_mode : 0;
}

bool IsFolder(const std::string& host) {
    return S_ISDIR(ModeOf(host));
}

// Whether a host path exists (a symbolic link counts, also one that points nowhere), and the
// mode stat finds for it (0 for a link that points nowhere).
bool Exists(const std::string& host, mode_t& mode) {
    struct stat info;
    if (stat(host.c_str(), &info) == 0) {
        mode = info.st_mode;
        return true;
    }
    mode = 0;
    return lstat(host.c_str(), &info) == 0;
}

// Finds the on-disk name in a host folder that a Windows name stands for: the exact name,
// else a name that differs only in letter case, else a name whose short name it is. The mode is
// what stat finds for the entry.
bool FindEntry(const std::string& hostFolder, std::wstring_view name, std::string& found,
               mode_t& mode) {
    std::string exact = WideToUtf8(std::wstring(name));
    std::string prefix = hostFolder == "/" ? "/" : hostFolder + "/";
    if (Exists(prefix + exact, mode)) {
        found = exact;
        return true;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(hostFolder.c_str()), closedir);
    if (!dir) {
        return false;
    }
    std::string shortMatch;
    while (dirent* entry = readdir(dir.get())) {
        std::wstring entryName = Utf8ToWide(entry->d_name);
        if (SameName(entryName, name)) {
            found = entry->d_name;
            mode = ModeOf(prefix + found);
            return true;
        }
        if (shortMatch.empty() && SameName(ShortNameOf(entryName), name)) {
            shortMatch = entry->d_name;
        }
    }
    if (!shortMatch.empty()) {
        found = shortMatch;
        mode = ModeOf(prefix + found);
        return true;
    }
    return false;
}

bool IsInvalidDosChar(wchar_t c) {
    static const std::wstring invalid = L"*?<>|\"+=,;[] ~.:/\\";
    return c < 0x20 || c > 0x7e || invalid.find(c) != std::wstring::npos;
}

bool IsLegal8Dot3(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") {
        return !name.empty();
    }
    size_t dot = name.find(L'.');
    std::wstring base = name.substr(0, dot);
    std::wstring ext = dot == std::wstring::npos ? L"" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3 ||
        (dot != std::wstring::npos && ext.find(L'.') != std::wstring::npos)) {
        return false;
    }
    for (wchar_t c : base + ext) {
        if (IsInvalidDosChar(c)) {
            return false;
        }
    }
    return true;
}

// The folders that paths were last resolved in (a run writes its log line by line, opening it
// by its path each time): by the host folder of the drive and the path's folders as written
// (their spelling is kept in the long form), with what resolving them found. An entry counts only
// while its host folder is still a folder; the simulated machine forgets them all when it makes or
// removes a folder or a file, and when another machine is current.
struct ResolvedFolder {
    std::string host;
    std::vector<std::pair<std::wstring, std::wstring>> names;
};

struct ResolvedFolders {
    const Machine* machine = nullptr;
    std::unordered_map<std::wstring, ResolvedFolder> folders;
};

ResolvedFolders& Resolved() {
    static ResolvedFolders resolved;
    if (resolved.machine != &CurrentMachine()) {
        resolved.folders.clear();
        resolved.machine = &CurrentMachine();
    }
    return resolved;
}

// Windows ignores dots and blanks at the end of a path component.
std::wstring_view WithoutTrailingDotsAndBlanks(std::wstring_view name) {
    if (name == L"." || name == L"..") {
        return name;
    }
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
        name.remove_suffix(1);
    }
    return name;
}

} // namespace

bool HasWildcard(const std::wstring& text) {
    return text.find_first_of(L"*?") != std::wstring::npos;
}

bool MatchesWildcard(const std::wstring& name, const std::wstring& pattern) {
    if (pattern == L"*.*") {
        return true;
    }
    size_t n = 0;
    size_t p = 0;
    size_t starP = std::wstring::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == L'?' || UpperChar(pattern[p]) == UpperChar(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::wstring::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

std::wstring ShortNameOf(const std::wstring& name) {
    if (IsLegal8Dot3(name)) {
        return name;
    }
    auto lower = [](wchar_t c) {
        return static_cast<unsigned>(std::towlower(static_cast<wint_t>(c)));
    };
    // (Short names are made of ASCII; the hash only needs a stable lower case.)
    unsigned short hash = 0xbeef;
    for (size_t i = 0; i + 1 < name.size(); ++i) {
        hash = static_cast<unsigned short>((hash << 3) ^ (hash >> 5) ^ lower(name[i]) ^
                                           (lower(name[i + 1]) << 8));
    }
    if (!name.empty()) {
        hash = static_cast<unsigned short>((hash << 3) ^ (hash >> 5) ^ lower(name.back()));
    }
    size_t ext = std::wstring::npos;
    for (size_t i = 1; i + 1 < name.size(); ++i) {
        if (name[i] == L'.') {
            ext = i;
        }
    }
    static const char hashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";
    std::wstring result;
    size_t i = 0;
    for (; i < 4 && i < name.size() && i != ext; ++i) {
        result += IsInvalidDosChar(name[i]) ? L'_' : UpperChar(name[i]);
    }
    while (result.size() < 5) {
        result += L'~';
    }
    result += static_cast<wchar_t>(hashChars[(hash >> 10) & 0x1f]);
    result += static_cast<wchar_t>(hashChars[(hash >> 5) & 0x1f]);
    result += static_cast<wchar_t>(hashChars[hash & 0x1f]);
    if (ext != std::wstring::npos) {
        result += L'.';
        for (size_t e = ext + 1; e < name.size() && e < ext + 4; ++e) {
            result += IsInvalidDosChar(name[e]) ? L'_' : UpperChar(name[e]);
        }
    }
    return result;
}

void SplitWindowsPath(const std::wstring& windowsPath, std::wstring& folder, std::wstring& name) {
    std::wstring path = windowsPath;
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos) {
        folder.clear();
        name = path;
        return;
    }
    name = path.substr(slash + 1);
    folder = path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == L':') {
        folder += L'\\';
    }
}

void ForgetResolvedFolders() {
    Resolved().folders.clear();
}

ResolvedPath ResolveWindowsPath(const std::wstring& windowsPath, PathForms forms) {
    ResolvedPath result;
    if (windowsPath.size() < 2 || windowsPath[1] != L':' || !std::iswalpha(windowsPath[0]) ||
        (windowsPath.size() > 2 && windowsPath[2] != L'\\' && windowsPath[2] != L'/')) {
        result.error = windowsPath.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME;
        if (windowsPath.size() >= 2 && windowsPath[1] != L':') {
            result.error = ERROR_PATH_NOT_FOUND;
        }
        return result;
    }
    auto root = CurrentMachine().DriveRoot(windowsPath[0]);
    if (!root) {
        result.error = ERROR_PATH_NOT_FOUND;
        return result;
    }
    // The components as written, where they stand in the path.
    std::wstring_view path(windowsPath);
    std::vector<std::wstring_view> parts;
    for (size_t start = 3, i = 3; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
            if (i > start) {
                parts.push_back(path.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    bool trailingSlash = path.size() > 3 && (path.back() == L'\\' || path.back() == L'/');

    std::wstring drive{windowsPath[0], L':', L'\\'};
    std::string host = *root;
    std::vector<std::pair<std::wstring, std::wstring>> names; // long and short
    std::vector<std::string> hosts{host};
    // Whether host is a folder: known from the search that found it, so that each component
    // costs one look-up.
    bool rootIsFolder = true;
    bool hostIsFolder = true;
    // What stat found for host, once a component has been looked up and host is its entry.
    mode_t mode = 0;
    bool modeKnown = false;
    // The folders of a path of plain names may have been resolved before.
    std::wstring folderKey;
    size_t begin = 0;
    if (parts.size() >= 2) {
        folderKey = Utf8ToWide(*root);
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            std::wstring_view part = WithoutTrailingDotsAndBlanks(parts[i]);
            if (part.empty() || part == L"." || part == L"..") {
                folderKey.clear();
                break;
            }
            folderKey += L'\\';
            folderKey += part;
        }
        std::wstring_view last = WithoutTrailingDotsAndBlanks(parts.back());
        if (last == L"." || last == L"..") {
            folderKey.clear();
        }
    }
    ResolvedFolders& resolved = Resolved();
    auto known = folderKey.empty() ? resolved.folders.end() : resolved.folders.find(folderKey);
    // A remembered folder counts while it is still a folder: finding the last name in it shows
    // that; only when the name is not found is the folder itself looked at.
    bool remembered = known != resolved.folders.end();
    if (remembered) {
        host = known->second.host;
        if (forms == PathForms::Made) {
            names = known->second.names;
        }
        // Only a plain last name follows, never "..": the folders above are not needed.
        hosts = {host};
        begin = parts.size() - 1;
    } else {
        rootIsFolder = IsFolder(host);
        hostIsFolder = rootIsFolder;
    }
    for (size_t i = begin; i < parts.size(); ++i) {
        std::wstring_view part = WithoutTrailingDotsAndBlanks(parts[i]);
        bool last = i + 1 == parts.size();
        if (part == L".") {
            continue;
        }
        if (part == L"..") {
            if (hosts.size() > 1) {
                hosts.pop_back();
                names.pop_back();
            }
            host = hosts.back();
            hostIsFolder = hosts.size() > 1 || rootIsFolder;
            modeKnown = false;
            continue;
        }
        if (part.empty() || part.find_first_of(L"<>:\"|") != std::wstring_view::npos) {
            result.error = ERROR_INVALID_NAME;
            return result;
        }
        if (!hostIsFolder) {
            result.error = ERROR_PATH_NOT_FOUND;
            return result;
        }
        std::string found;
        std::string prefix = host == "/" ? "/" : host + "/";
        bool isThere = FindEntry(host, part, found, mode);
        if (remembered && !isThere && !IsFolder(host)) {
            // The remembered folder is gone: the path is resolved from its drive.
            resolved.folders.erase(known);
            return ResolveWindowsPath(windowsPath, forms);
        }
        hostIsFolder = S_ISDIR(mode);
        if (isThere) {
            host = prefix + found;
            modeKnown = true;
            if (!last || forms == PathForms::Made) {
                // As on Windows, a component keeps its spelling unless it was a short name.
                std::wstring onDisk = Utf8ToWide(found);
                bool viaShortName = !SameName(onDisk, part);
                names.emplace_back(viaShortName ? onDisk : std::wstring(part), ShortNameOf(onDisk));
            }
        } else if (last) {
            result.host = prefix + WideToUtf8(std::wstring(part));
            result.exists = false;
            return result;
        } else {
            result.error = ERROR_PATH_NOT_FOUND;
            return result;
        }
        hosts.push_back(host);
        if (!folderKey.empty() && i + 2 == parts.size() && hostIsFolder) {
            resolved.folders[folderKey] = ResolvedFolder{host, names};
        }
    }
    result.host = host;
    result.exists = true;
    result.mode = modeKnown ? mode : ModeOf(host);
    if (forms == PathForms::Skipped) {
        return result;
    }
    result.longForm = drive;
    result.shortForm = drive;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            result.longForm += L'\\';
            result.shortForm += L'\\';
        }
        result.longForm += names[i].first;
        result.shortForm += names[i].second;
    }
    if (trailingSlash && !names.empty()) {
        result.longForm += L'\\';
        result.shortForm += L'\\';
    }
    return result;
}

} // namespace sim
