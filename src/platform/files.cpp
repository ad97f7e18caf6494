#include "platform/files.h"

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/text.h"
#include "winapi/winapi.h"

#include <string>

namespace Utilities {

namespace {

const DWORD kVolumeLabelAttribute = 0x8;
const DWORD kNotPlain = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                        kVolumeLabelAttribute;

} // namespace

Text GetTempFolder() {
    const DWORD kOffered = 1024;
    std::string shortForm(kOffered + 1, '\0');
    std::string longForm(kOffered + 1, '\0');
    GetTempPathA(kOffered, &shortForm[0]);
    GetLongPathNameA(shortForm.c_str(), &longForm[0], kOffered);
    return RemoveTrailing(TrimAtNull(FromAnsi(longForm)), L"\\");
}

bool FileExists(const Text& p_Path) {
    Text path = Trim(p_Path);
    if (path.empty()) {
        return false;
    }
    try {
        Text name = FindFirstPlainFile(path);
        return !name.empty() && EndsWith(path, name, false);
    } catch (const ZPError&) {
        return false;
    }
}

bool AnyFileExists(const Text& p_Path) {
    DWORD attributes = GetFileAttributesA(ToAnsi(p_Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool RemoveFile(const Text& p_Path) {
    std::string path = ToAnsi(p_Path);
    if (DeleteFileA(path.c_str())) {
        return true;
    }
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

Text FindFirstPlainFile(const Text& p_Pattern) {
    WIN32_FIND_DATAA data;
    UniqueFindHandle search(FindFirstFileA(ToAnsi(p_Pattern).c_str(), &data));
    if (!search.IsValid()) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_NO_MORE_FILES) {
            return L"";
        }
        throw ZPError(52, L"Bad file name or number");
    }
    do {
        if ((data.dwFileAttributes & kNotPlain) == 0) {
            return FromAnsi(data.cFileName);
        }
    } while (FindNextFileA(search.Get(), &data));
    return L"";
}

bool FolderExists(const Text& p_Path) {
    if (p_Path.empty()) {
        return false;
    }
    if (GetFileAttributesA(ToAnsi(p_Path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return !FileExists(p_Path);
}

void SplitFilePath(const Text& p_Path, Text& p_Folder, Text& p_FileName) {
    p_Folder.clear();
    p_FileName.clear();
    Text path = Trim(p_Path);
    if (path.empty()) {
        return;
    }
    size_t slash = path.rfind(L'\\');
    if (slash == Text::npos || slash + 1 == path.size()) {
        return;
    }
    p_Folder = path.substr(0, slash);
    p_FileName = path.substr(slash + 1);
}

} // namespace Utilities
