#include "sim/Utf16.h"

#include <cstdint>

namespace sim {

namespace {

// Stores one character as UTF-16LE units (a pair beyond the basic plane); past the units.
char* PutUtf16Le(char* out, wchar_t c) {
    auto code = static_cast<uint32_t>(c);
    unsigned units[2] = {code & 0xFFFF, 0};
    size_t count = 1;
    if (code >= 0x10000 && code <= 0x10FFFF) {
        units[0] = 0xD800 + ((code - 0x10000) >> 10);
        units[1] = 0xDC00 + ((code - 0x10000) & 0x3FF);
        count = 2;
    }
    for (size_t i = 0; i < count; ++i) {
        *out++ = static_cast<char>(units[i] & 0xFF);
        *out++ = static_cast<char>(units[i] >> 8);
    }
    return out;
}

} // namespace

void AppendUtf16Le(std::string& bytes, wchar_t c) {
    char units[4];
    bytes.append(units, static_cast<size_t>(PutUtf16Le(units, c) - units));
}

void AppendUtf16Le(std::string& bytes, const std::wstring& text) {
    size_t start = bytes.size();
    // At most two units of two bytes for each character.
    bytes.resize(start + 4 * text.size());
    char* out = &bytes[start];
    for (wchar_t c : text) {
        out = PutUtf16Le(out, c);
    }
    bytes.resize(static_cast<size_t>(out - &bytes[0]));
}

std::string ToUtf16Le(const std::wstring& text) {
    std::string bytes;
    AppendUtf16Le(bytes, text);
    return bytes;
}

std::wstring FromUtf16Le(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned unit = static_cast<unsigned char>(bytes[i]) |
                        (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            unsigned next = static_cast<unsigned char>(bytes[i + 2]) |
                            (static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 3])) << 8);
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
