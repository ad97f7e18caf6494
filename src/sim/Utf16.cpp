#include "sim/Utf16.h"

#include <cstdint>

namespace sim {

namespace {

void AppendUnit(std::string& bytes, uint32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
}

unsigned UnitAt(const std::string& bytes, size_t i) {
    return static_cast<unsigned char>(bytes[i]) |
           (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
}

} // namespace

void AppendUtf16Le(std::string& bytes, wchar_t c) {
    auto code = static_cast<uint32_t>(c);
    if (code >= 0x10000 && code <= 0x10FFFF) {
        AppendUnit(bytes, 0xD800 + ((code - 0x10000) >> 10));
        code = 0xDC00 + ((code - 0x10000) & 0x3FF);
    }
    AppendUnit(bytes, code);
}

void AppendUtf16Le(std::string& bytes, const std::wstring& text) {
    for (wchar_t c : text) {
        AppendUtf16Le(bytes, c);
    }
}

std::string ToUtf16Le(const std::wstring& text) {
    std::string bytes;
    bytes.reserve(2 * text.size());
    AppendUtf16Le(bytes, text);
    return bytes;
}

std::wstring FromUtf16Le(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned unit = UnitAt(bytes, i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            unsigned next = UnitAt(bytes, i + 2);
            if (next >= 0xDC00 && next < 0xE000) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

std::string RegistryText(const std::wstring& text) {
    std::string data = ToUtf16Le(text);
    data.append(2, '\0');
    return data;
}

} // namespace sim
