#include "sim/FileAttributes.h"

#include "sim/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace sim {

namespace {

const char kDosAttributeName[] = "user.DOSATTRIB";
const DWORD kKeptInExtendedAttribute = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD ReadExtendedAttribute(const std::string& hostPath) {
    char data[64];
    ssize_t length = getxattr(hostPath.c_str(), kDosAttributeName, data, sizeof data - 1);
    if (length <= 2 || data[0] != '0' || (data[1] != 'x' && data[1] != 'X')) {
        return 0;
    }
    data[length] = '\0';
    char* end = nullptr;
    unsigned long value = std::strtoul(data + 2, &end, 16);
    // Samba may follow the text with binary data after a NUL; only the text counts.
    if (end == data + 2) {
        return 0;
    }
    return static_cast<DWORD>(value) & kKeptInExtendedAttribute;
}

bool IsDotName(const std::string& hostPath) {
    size_t slash = hostPath.find_last_of('/');
    std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

} // namespace

DWORD ReadAttributes(const std::string& hostPath) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if ((info.st_mode & S_IWUSR) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    if (IsDotName(hostPath)) {
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    }
    attributes |= ReadExtendedAttribute(hostPath);
    return attributes;
}

DWORD WriteAttributes(const std::string& hostPath, DWORD attributes) {
    struct stat info;
    if (stat(hostPath.c_str(), &info) != 0) {
        return ErrorFromErrno(errno, true);
    }
    mode_t mode = info.st_mode & 07777;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    } else {
        mode |= S_IWUSR;
    }
    if (mode != (info.st_mode & 07777) && chmod(hostPath.c_str(), mode) != 0) {
        return ErrorFromErrno(errno, true);
    }
    DWORD kept = attributes & kKeptInExtendedAttribute;
    if (kept != 0) {
        char text[16];
        int length = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(kept));
        if (setxattr(hostPath.c_str(), kDosAttributeName, text, static_cast<size_t>(length), 0) !=
            0) {
            return ERROR_ACCESS_DENIED;
        }
    } else {
        removexattr(hostPath.c_str(), kDosAttributeName);
    }
    return ERROR_SUCCESS;
}

bool IsReadOnly(const std::string& hostPath) {
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && IsReadOnly(info.st_mode);
}

bool IsReadOnly(mode_t mode) {
    return !S_ISDIR(mode) && (mode & S_IWUSR) == 0;
}

} // namespace sim
