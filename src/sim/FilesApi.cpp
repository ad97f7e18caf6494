// Folders, paths and files of the simulated machine (the directory search is in FindApi.cpp).
#include "sim/Ansi.h"
#include "sim/CodePage.h"
#include "sim/Errors.h"
#include "sim/FileAttributes.h"
#include "sim/Handles.h"
#include "sim/Machine.h"
#include "sim/Paths.h"
#include "winapi/winapi_testing.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace sim;

namespace {

// Whether an open handle of the simulated machine keeps the file from being deleted.
bool HeldWithoutDeleteSharing(const std::string& hostPath) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        return false;
    }
    bool held = false;
    ForEachHandle([&](KernelObject& object) {
        auto* file = dynamic_cast<FileObject*>(&object);
        if (file != nullptr && file->device == info.st_dev && file->inode == info.st_ino &&
            (file->shareMode & FILE_SHARE_DELETE) == 0) {
            held = true;
        }
    });
    return held;
}

// Resolves a path argument; sets the last error when that fails.
bool Resolve(LPCWSTR path, ResolvedPath& resolved) {
    if (path == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, false);
    }
    resolved = ResolveWindowsPath(path);
    return resolved.error == ERROR_SUCCESS || Fail(resolved.error, false);
}

bool Resolve(LPCSTR path, ResolvedPath& resolved) {
    return Resolve(path != nullptr ? FromAnsiArgument(path).c_str() : nullptr, resolved);
}

// The same for a path that must exist (ERROR_FILE_NOT_FOUND when it does not).
template <typename Char> bool ResolveExisting(const Char* path, ResolvedPath& resolved) {
    return Resolve(path, resolved) && (resolved.exists || Fail(ERROR_FILE_NOT_FOUND, false));
}

bool IsNullDeviceName(LPCSTR path) {
    std::wstring name = UpperName(FromAnsiArgument(path));
    return name == L"NUL" || name == L"\\\\.\\NUL";
}

DWORD CopyPathForm(LPCWSTR source, bool longForm, LPWSTR target, DWORD size) {
    ResolvedPath resolved;
    if (!ResolveExisting(source, resolved)) {
        return 0;
    }
    return CopyOut(longForm ? resolved.longForm : resolved.shortForm, target, size);
}

} // namespace

DWORD WINAPI GetTempPathW(DWORD nBufferLength, LPWSTR lpBuffer) {
    return CopyOut(CurrentMachine().tempPath, lpBuffer, nBufferLength);
}

DWORD WINAPI GetLongPathNameW(LPCWSTR lpszShortPath, LPWSTR lpszLongPath, DWORD cchBuffer) {
    return CopyPathForm(lpszShortPath, true, lpszLongPath, cchBuffer);
}

DWORD WINAPI GetShortPathNameW(LPCWSTR lpszLongPath, LPWSTR lpszShortPath, DWORD cchBuffer) {
    return CopyPathForm(lpszLongPath, false, lpszShortPath, cchBuffer);
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    ResolvedPath resolved;
    if (!Resolve(lpPathName, resolved)) {
        return FALSE;
    }
    if (resolved.exists) {
        return Fail(ERROR_ALREADY_EXISTS, FALSE);
    }
    if (mkdir(resolved.host.c_str(), 0777) != 0) {
        return Fail(ErrorFromErrno(errno, false), FALSE);
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName) {
    ResolvedPath resolved;
    if (!ResolveExisting(lpPathName, resolved)) {
        return FALSE;
    }
    if (rmdir(resolved.host.c_str()) != 0) {
        return Fail(errno == ENOTDIR ? static_cast<DWORD>(ERROR_DIRECTORY)
                                     : ErrorFromErrno(errno, true),
                    FALSE);
    }
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    if (DWORD planted =
            PlantedFault("GetFileAttributesA", [&] { return FromAnsiArgument(lpFileName); })) {
        return Fail(planted, INVALID_FILE_ATTRIBUTES);
    }
    ResolvedPath resolved;
    if (!ResolveExisting(lpFileName, resolved)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return ReadAttributes(resolved.host);
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes) {
    ResolvedPath resolved;
    if (!ResolveExisting(lpFileName, resolved)) {
        return FALSE;
    }
    DWORD error = WriteAttributes(resolved.host, dwFileAttributes);
    if (error != ERROR_SUCCESS) {
        return Fail(error, FALSE);
    }
    return TRUE;
}

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE) {
    bool inheritable = lpSecurityAttributes != nullptr && lpSecurityAttributes->bInheritHandle;
    if (IsNullDeviceName(lpFileName)) {
        int fd = open("/dev/null", O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
        }
        auto device = std::make_unique<FileObject>(fd, 0, 0, dwShareMode);
        device->isNullDevice = true;
        device->inheritable = inheritable;
        return AddHandle(std::move(device));
    }
    if (DWORD planted = PlantedFault("CreateFileA", [&] { return FromAnsiArgument(lpFileName); })) {
        return Fail(planted, INVALID_HANDLE_VALUE);
    }
    ResolvedPath resolved;
    if (!Resolve(lpFileName, resolved)) {
        return INVALID_HANDLE_VALUE;
    }
    bool reads = (dwDesiredAccess & GENERIC_READ) != 0;
    bool writes = (dwDesiredAccess & GENERIC_WRITE) != 0;
    bool appends = !writes && (dwDesiredAccess & FILE_APPEND_DATA) != 0;
    int flags =
        (reads && (writes || appends)) ? O_RDWR : ((writes || appends) ? O_WRONLY : O_RDONLY);
    if (appends) {
        flags |= O_APPEND;
    }
    switch (dwCreationDisposition) {
    case CREATE_NEW:
        if (resolved.exists) {
            return Fail(ERROR_FILE_EXISTS, INVALID_HANDLE_VALUE);
        }
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        if (!resolved.exists) {
            return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
        }
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    default:
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    if (resolved.exists && resolved.mode != 0) {
        bool changes = writes || appends || (flags & O_TRUNC) != 0;
        if (S_ISDIR(resolved.mode) || (changes && IsReadOnly(resolved.mode))) {
            return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
        }
    }
    if ((flags & O_TRUNC) != 0 && (flags & O_ACCMODE) == O_RDONLY) {
        flags = (flags & ~O_ACCMODE) | O_RDWR;
    }
    int fd = open(resolved.host.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        return Fail(ErrorFromErrno(errno, true), INVALID_HANDLE_VALUE);
    }
    if (!resolved.exists) {
        DWORD initial = dwFlagsAndAttributes &
                        (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (initial != 0) {
            WriteAttributes(resolved.host, initial);
        }
    }
    struct stat info {};
    fstat(fd, &info);
    SetLastError(resolved.exists && (dwCreationDisposition == OPEN_ALWAYS ||
                                     dwCreationDisposition == CREATE_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    auto file = std::make_unique<FileObject>(fd, info.st_dev, info.st_ino, dwShareMode);
    file->inheritable = inheritable;
    return AddHandle(std::move(file));
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPVOID) {
    auto* file = HandleObject<FileObject>(hFile);
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = 0;
    }
    if (file == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    auto done = static_cast<DWORD>(
        WriteAll(file->fd, static_cast<const char*>(lpBuffer), nNumberOfBytesToWrite));
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = done;
    }
    if (done < nNumberOfBytesToWrite) {
        return Fail(errno == EBADF ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ERROR_WRITE_FAULT,
                    FALSE);
    }
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPVOID) {
    auto* file = HandleObject<FileObject>(hFile);
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = 0;
    }
    if (file == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    ssize_t got;
    do {
        got = read(file->fd, lpBuffer, nNumberOfBytesToRead);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return Fail(errno == EBADF ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ERROR_READ_FAULT,
                    FALSE);
    }
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = static_cast<DWORD>(got);
    }
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    ResolvedPath resolved;
    if (!ResolveExisting(lpFileName, resolved)) {
        return FALSE;
    }
    // (A link that points nowhere has no mode: it is deleted.)
    if (resolved.mode != 0 && (S_ISDIR(resolved.mode) || IsReadOnly(resolved.mode))) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (HeldWithoutDeleteSharing(resolved.host)) {
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    }
    if (unlink(resolved.host.c_str()) != 0) {
        return Fail(ErrorFromErrno(errno, true), FALSE);
    }
    return TRUE;
}
