#include "sim/RegistryFileText.h"

namespace sim {

// clang-format off
const signed char kHexDigits[256] = {
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
     0,  1,  2,  3,  4,  5,  6,  7,  8,  9, -1, -1, -1, -1, -1, -1,
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
};
// clang-format on

wchar_t DecodeEscape(std::string_view text, size_t& pos) {
    char c = text[pos++];
    switch (c) {
    case 'a':
        return L'\a';
    case 'b':
        return L'\b';
    case 'e':
        return static_cast<wchar_t>(0x1B);
    case 'f':
        return L'\f';
    case 'n':
        return L'\n';
    case 'r':
        return L'\r';
    case 't':
        return L'\t';
    case 'v':
        return L'\v';
    case 'x': {
        unsigned code = 0;
        int digits = 0;
        for (; digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++digits) {
            code = code * 16 + static_cast<unsigned>(HexDigit(text[pos++]));
        }
        return digits == 0 ? L'x' : static_cast<wchar_t>(code);
    }
    default:
        if (c >= '0' && c <= '7') {
            unsigned code = static_cast<unsigned>(c - '0');
            for (int digits = 1;
                 digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                 ++digits) {
                code = code * 8 + static_cast<unsigned>(text[pos++] - '0');
            }
            return static_cast<wchar_t>(code);
        }
        return static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
}

bool ParseString(std::string_view text, size_t& pos, char close, std::wstring& result) {
    // Where the string ends is found first: the text is then decoded through a pointer into room
    // for one character for each byte.
    size_t end = pos;
    if (!SkipString(text, end, close)) {
        result.clear();
        pos = text.size();
        return false;
    }
    result.resize(end - 1 - pos);
    wchar_t* out = &result[0];
    size_t length = 0;
    while (pos < end - 1) {
        size_t plain = PlainLength(text.data() + pos, end - 1 - pos, '\\');
        Widen(text.data() + pos, plain, out + length);
        length += plain;
        pos += plain;
        if (pos < end - 1) {
            ++pos;
            out[length++] = DecodeEscape(text, pos);
        }
    }
    result.resize(length);
    pos = end;
    return true;
}

} // namespace sim
