#include "platform/textfile.h"

#include "winapi/winapi.h"

namespace Utilities {

AppendingFile::AppendingFile(const Text& p_Path)
    : m_Handle(CreateFileA(ToAnsi(p_Path).c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr)),
      m_OpenError(m_Handle.IsValid() ? 0 : GetLastError()) {}

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
    // ANSI bytes, or UTF-16LE units after its byte-order mark (as reg export writes).
    std::string bytes;
    Text line;
    bool unicode = false;
    bool started = false;
    bool afterCarriageReturn = false;
    auto take = [&](wchar_t c) {
        if (c == L'\n' && afterCarriageReturn) {
            afterCarriageReturn = false;
            return;
        }
        afterCarriageReturn = c == L'\r';
        if (c == L'\r' || c == L'\n') {
            p_Line(unicode ? line : FromAnsi(bytes));
            line.clear();
            bytes.clear();
        } else if (unicode) {
            line += c;
        } else {
            bytes += static_cast<char>(c);
        }
    };
    char buffer[8192];
    std::string pending;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) {
            return false;
        }
        if (got == 0) {
            break;
        }
        pending.append(buffer, got);
        if (!started && pending.size() >= 2) {
            started = true;
            unicode = pending.compare(0, 2, "\xff\xfe") == 0;
            pending.erase(0, unicode ? 2 : 0);
        }
        if (!started) {
            continue;
        }
        size_t used = 0;
        if (unicode) {
            auto unit = [&](size_t at) {
                return static_cast<unsigned>(static_cast<unsigned char>(pending[at]) |
                                             (static_cast<unsigned char>(pending[at + 1]) << 8));
            };
            for (; used + 1 < pending.size(); used += 2) {
                unsigned c = unit(used);
                // Where a wide character holds any code point, a surrogate pair is one.
                if (sizeof(wchar_t) > 2 && c >= 0xD800 && c < 0xDC00) {
                    if (used + 3 >= pending.size()) {
                        break;
                    }
                    unsigned low = unit(used + 2);
                    if (low >= 0xDC00 && low < 0xE000) {
                        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                        used += 2;
                    }
                }
                take(static_cast<wchar_t>(c));
            }
        } else {
            for (; used < pending.size(); ++used) {
                take(static_cast<wchar_t>(static_cast<unsigned char>(pending[used])));
            }
        }
        pending.erase(0, used);
    }
    for (char c : unicode ? std::string() : pending) {
        take(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    if (!line.empty() || !bytes.empty()) {
        p_Line(unicode ? line : FromAnsi(bytes));
    }
    return true;
}

} // namespace Utilities
