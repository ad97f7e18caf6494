#include "platform/text.h"

#include "platform/error.h"
#include "platform/handles.h"
#include "winapi/winapi.h"

#include <string>

namespace Utilities {

namespace {

const size_t kMaxCount = 32767;
const DWORD kVolumeLabelAttribute = 0x8;
const DWORD kNotPlain = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                        kVolumeLabelAttribute;

int16_t CountOf(const Text& text) {
    if (text.size() > kMaxCount) {
        throw ZPError::Overflow();
    }
    return static_cast<int16_t>(text.size());
}

} // namespace

bool EndsWith(const Text& p_Text, const Text& p_Suffix, bool p_CaseSensitive) {
    if (p_Suffix.empty()) {
        return true;
    }
    if (p_Text.empty()) {
        return false;
    }
    int16_t count = CountOf(p_Suffix);
    if (p_CaseSensitive) {
        return SafeRight(p_Text, count) == p_Suffix;
    }
    return SafeRight(ToUpper(p_Text), count) == ToUpper(p_Suffix);
}

Text GetTempFolder() {
    const DWORD kOffered = 1024;
    std::string shortForm(kOffered + 1, '\0');
    std::string longForm(kOffered + 1, '\0');
    GetTempPathA(kOffered, &shortForm[0]);
    GetLongPathNameA(shortForm.c_str(), &longForm[0], kOffered);
    return RemoveTrailing(TrimAtNull(FromAnsi(longForm)), L"\\");
}

Text RemoveTrailing(const Text& p_Text, const Text& p_Suffix) {
    if (p_Text.empty()) {
        return L"";
    }
    int16_t textCount = CountOf(p_Text);
    int16_t suffixCount = CountOf(p_Suffix);
    if (suffixCount == 0 || textCount < suffixCount) {
        return p_Text;
    }
    if (ToUpper(SafeRight(p_Text, suffixCount)) == ToUpper(p_Suffix)) {
        return SafeLeft(p_Text, static_cast<int16_t>(textCount - suffixCount));
    }
    return p_Text;
}

Text TrimAtNull(const Text& p_Text) {
    size_t nul = p_Text.find(L'\0');
    return nul == Text::npos ? p_Text : p_Text.substr(0, nul);
}

Text SafeLeft(const Text& p_Text, int16_t p_Count) {
    if (p_Count <= 0) {
        return L"";
    }
    return p_Text.substr(0, static_cast<size_t>(p_Count));
}

Text SafeRight(const Text& p_Text, int16_t p_Count) {
    if (p_Count <= 0) {
        return L"";
    }
    size_t count = static_cast<size_t>(p_Count);
    return count >= p_Text.size() ? p_Text : p_Text.substr(p_Text.size() - count);
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

} // namespace Utilities
