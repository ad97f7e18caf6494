#include "platform/textfile.h"

#include "winapi/winapi.h"

namespace Utilities {

AppendingFile::AppendingFile(const Text& p_Path)
    : m_Handle(CreateFileA(ToAnsi(p_Path).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {}

bool AppendingFile::Write(const std::string& p_Bytes) {
    if (!IsOpen()) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(m_Handle.Get(), p_Bytes.data(), static_cast<DWORD>(p_Bytes.size()), &written,
                     nullptr) != FALSE &&
           written == p_Bytes.size();
}

bool ReadTextLines(const Text& p_Path, const std::function<void(const Text&)>& p_Line) {
    UniqueHandle file(CreateFileA(ToAnsi(p_Path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        return false;
    }
    std::string line;
    bool afterCarriageReturn = false;
    char buffer[8192];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        for (DWORD i = 0; i < got; ++i) {
            char c = buffer[i];
            if (c == '\n' && afterCarriageReturn) {
                afterCarriageReturn = false;
                continue;
            }
            afterCarriageReturn = c == '\r';
            if (c == '\r' || c == '\n') {
                p_Line(FromAnsi(line));
                line.clear();
            } else {
                line += c;
            }
        }
    }
    if (!line.empty()) {
        p_Line(FromAnsi(line));
    }
    return true;
}

} // namespace Utilities
