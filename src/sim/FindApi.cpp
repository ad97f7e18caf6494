// The directory search of the simulated machine: FindFirstFileA takes the matching entries of a
// folder at once, FindNextFileA hands them out.
#include "sim/Ansi.h"
#include "sim/CodePage.h"
#include "sim/Errors.h"
#include "sim/FileAttributes.h"
#include "sim/Handles.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace sim;

namespace {

class FindObject : public KernelObject {
public:
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

FILETIME ToFileTime(const timespec& time) {
    // 100-nanosecond intervals since 1601-01-01.
    const uint64_t kEpochDifference = 116444736000000000ULL;
    uint64_t value = kEpochDifference + static_cast<uint64_t>(time.tv_sec) * 10000000ULL +
                     static_cast<uint64_t>(time.tv_nsec) / 100;
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

bool MakeFindData(const std::string& hostPath, const std::wstring& name, WIN32_FIND_DATAA& data) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        return false;
    }
    std::string ansiName = ToMachineAnsi(name);
    std::string ansiShort = ToMachineAnsi(ShortNameOf(name));
    if (ansiName.size() >= MAX_PATH) {
        return false;
    }
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = ReadAttributes(hostPath);
    data.ftCreationTime = ToFileTime(info.st_ctim);
    data.ftLastAccessTime = ToFileTime(info.st_atim);
    data.ftLastWriteTime = ToFileTime(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        uint64_t size = static_cast<uint64_t>(info.st_size);
        data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(size);
    }
    std::memcpy(data.cFileName, ansiName.c_str(), ansiName.size() + 1);
    if (ansiShort != ansiName && ansiShort.size() < sizeof data.cAlternateFileName) {
        std::memcpy(data.cAlternateFileName, ansiShort.c_str(), ansiShort.size() + 1);
    }
    return true;
}

} // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (lpFileName == nullptr || lpFindFileData == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    if (DWORD planted =
            PlantedFault("FindFirstFileA", [&] { return FromAnsiArgument(lpFileName); })) {
        return Fail(planted, INVALID_HANDLE_VALUE);
    }
    // The folder with its trailing backslash, and the pattern after it.
    std::wstring path = FromAnsiArgument(lpFileName);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    size_t slash = path.find_last_of(L'\\');
    std::wstring folder = slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
    std::wstring pattern = path.substr(folder.size());
    if (pattern.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    ResolvedPath where = ResolveWindowsPath(folder);
    if (where.error != ERROR_SUCCESS) {
        return Fail(where.error, INVALID_HANDLE_VALUE);
    }
    if (!where.exists || !S_ISDIR(where.mode)) {
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    std::string prefix = where.host == "/" ? "/" : where.host + "/";
    auto found = std::make_unique<FindObject>();
    if (pattern.find_first_of(L"*?") == std::wstring::npos) {
        ResolvedPath exact = ResolveWindowsPath(folder + pattern);
        if (exact.error != ERROR_SUCCESS) {
            return Fail(exact.error, INVALID_HANDLE_VALUE);
        }
        WIN32_FIND_DATAA data;
        std::string name = exact.host.substr(exact.host.find_last_of('/') + 1);
        if (exact.exists && MakeFindData(exact.host, Utf8ToWide(name), data)) {
            found->entries.push_back(data);
        }
    } else {
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(where.host.c_str()), closedir);
        if (!dir) {
            return Fail(ErrorFromErrno(errno, false), INVALID_HANDLE_VALUE);
        }
        bool isRoot = folder.size() == 3;
        while (dirent* entry = readdir(dir.get())) {
            std::string hostName = entry->d_name;
            if (isRoot && (hostName == "." || hostName == "..")) {
                continue;
            }
            std::wstring name = Utf8ToWide(hostName);
            WIN32_FIND_DATAA data;
            if ((MatchesWildcard(name, pattern) || MatchesWildcard(ShortNameOf(name), pattern)) &&
                MakeFindData(prefix + hostName, name, data)) {
                found->entries.push_back(data);
            }
        }
    }
    if (found->entries.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    *lpFindFileData = found->entries[0];
    found->next = 1;
    return AddHandle(std::move(found));
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    auto* found = HandleObject<FindObject>(hFindFile);
    if (found == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    if (found->next >= found->entries.size()) {
        return Fail(ERROR_NO_MORE_FILES, FALSE);
    }
    *lpFindFileData = found->entries[found->next++];
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (HandleObject<FindObject>(hFindFile) == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    RemoveHandle(hFindFile);
    return TRUE;
}
