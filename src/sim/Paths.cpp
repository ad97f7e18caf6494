#include "sim/Paths.h"

#include "sim/CodePage.h"
#include "sim/Machine.h"

#include <algorithm>
#include <cwctype>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace sim {

namespace {

// The mode stat finds for a host path (following links); 0 when there is nothing there.
mode_t ModeOf(const std::string& host) {
    struct stat info;
    return stat(host.c_str(), &info) == 0 ? info.st_mode : 0;
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

ResolvedPath ResolveWindowsPath(const std::wstring& windowsPath) {
    ResolvedPath result;
    if (windowsPath.size() < 2 || windowsPath[1] != L':' || !std::iswalpha(windowsPath[0]) ||
        (windowsPath.size() > 2 && windowsPath[2] != L'\\' && windowsPath[2] != L'/')) {
        bool drive = !windowsPath.empty() && (windowsPath.size() == 1 || windowsPath[1] == L':');
        result.error = drive ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND;
        return result;
    }
    auto root = CurrentMachine().DriveRoot(windowsPath[0]);
    if (!root) {
        result.error = ERROR_PATH_NOT_FOUND;
        return result;
    }
    // The components as written, trailing dots and blanks dropped.
    std::wstring_view path(windowsPath);
    std::vector<std::wstring_view> parts;
    for (size_t start = 3, end = 3; start < path.size(); start = end + 1) {
        end = std::min(path.find_first_of(L"\\/", start), path.size());
        if (end > start) {
            parts.push_back(WithoutTrailingDotsAndBlanks(path.substr(start, end - start)));
        }
    }
    // A path of plain names that the host has as written is found in one look (a run opens its
    // log by its path for every line of it): each of its names then matches exactly.
    std::string written = *root == "/" ? "" : *root;
    bool plain = !parts.empty();
    for (std::wstring_view part : parts) {
        plain = plain && !part.empty() && part != L"." && part != L".." &&
                part.find_first_of(L"<>:\"|") == std::wstring_view::npos;
        written += "/" + WideToUtf8(std::wstring(part));
    }
    mode_t wholeMode = 0;
    bool whole = plain && Exists(written, wholeMode);
    // The drive's root, then each folder or file walked into, with its long and short name.
    struct Step {
        std::string host;
        mode_t mode;
        std::wstring longName, shortName;
    };
    std::vector<Step> steps{{*root, whole ? S_IFDIR : ModeOf(*root), L"", L""}};
    for (size_t i = 0; i < parts.size(); ++i) {
        std::wstring_view part = parts[i];
        bool last = i + 1 == parts.size();
        if (part == L".") {
            continue;
        }
        if (part == L"..") {
            if (steps.size() > 1) {
                steps.pop_back();
            }
            continue;
        }
        if (part.empty() || part.find_first_of(L"<>:\"|") != std::wstring_view::npos) {
            result.error = ERROR_INVALID_NAME;
            return result;
        }
        const Step& folder = steps.back();
        std::string prefix = folder.host == "/" ? "/" : folder.host + "/";
        std::string found = WideToUtf8(std::wstring(part));
        mode_t mode = last ? wholeMode : S_IFDIR;
        if (!whole && (!S_ISDIR(folder.mode) || !FindEntry(folder.host, part, found, mode))) {
            if (!last || !S_ISDIR(folder.mode)) {
                result.error = ERROR_PATH_NOT_FOUND;
                return result;
            }
            result.host = prefix + WideToUtf8(std::wstring(part));
            return result;
        }
        // As on Windows, a component keeps its spelling unless it was a short name.
        std::wstring onDisk = Utf8ToWide(found);
        steps.push_back({prefix + found, mode, SameName(onDisk, part) ? std::wstring(part) : onDisk,
                         ShortNameOf(onDisk)});
    }
    result.host = steps.back().host;
    result.exists = true;
    result.mode = steps.back().mode;
    result.longForm = result.shortForm = std::wstring{windowsPath[0], L':', L'\\'};
    bool shortNames = CurrentMachine().drivesWithoutShortNames.find(UpperChar(windowsPath[0])) ==
                      std::wstring::npos;
    for (size_t i = 1; i < steps.size(); ++i) {
        result.longForm += (i > 1 ? L"\\" : L"") + steps[i].longName;
        result.shortForm +=
            (i > 1 ? L"\\" : L"") + (shortNames ? steps[i].shortName : steps[i].longName);
    }
    bool trailingSlash = path.size() > 3 && (path.back() == L'\\' || path.back() == L'/');
    if (trailingSlash && steps.size() > 1) {
        result.longForm += L'\\';
        result.shortForm += L'\\';
    }
    return result;
}

} // namespace sim
