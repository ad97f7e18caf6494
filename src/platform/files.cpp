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

namespace {

const DWORD kOfferedPath = 1024;
const wchar_t kNotInCodePage[] =
    L"Its path (%s) holds characters that the system's code page cannot, and its volume has "
    L"no short (8.3) names to use instead.";

// A form of a path (GetLongPathNameW, GetShortPathNameW); "" when the call fails.
Text PathForm(DWORD(WINAPI* p_Call)(LPCWSTR, LPWSTR, DWORD), const Text& p_Path) {
    Text form(kOfferedPath + 1, L'\0');
    DWORD length = p_Call(p_Path.c_str(), &form[0], kOfferedPath);
    return length == 0 || length > kOfferedPath ? Text() : form.substr(0, length);
}

// Whether the text crosses into the ANSI code page and back unchanged.
bool FitsCodePage(const Text& p_Text) {
    BOOL usedDefault = FALSE;
    int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, p_Text.data(),
                            static_cast<int>(p_Text.size()), nullptr, 0, nullptr, &usedDefault);
    return length > 0 && !usedDefault;
}

} // namespace

Text GetTempFolder(Text* p_Problem) {
    Text reported(kOfferedPath + 1, L'\0');
    DWORD length = GetTempPathW(kOfferedPath, &reported[0]);
    Text longForm = length == 0 || length > kOfferedPath
                        ? Text()
                        : PathForm(GetLongPathNameW, reported.substr(0, length));
    if (longForm.empty() || FitsCodePage(longForm)) {
        return RemoveTrailing(longForm, L"\\");
    }
    // Every later call names the folder in the code page: its short form is ASCII where the
    // volume keeps short names.
    Text shortForm = PathForm(GetShortPathNameW, longForm);
    if (!shortForm.empty() && FitsCodePage(shortForm)) {
        return RemoveTrailing(shortForm, L"\\");
    }
    if (p_Problem != nullptr) {
        Text problem = kNotInCodePage;
        *p_Problem = problem.replace(problem.find(L"%s"), 2, RemoveTrailing(longForm, L"\\"));
    }
    return L"";
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
