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

bool ParseString(std::string_view text, size_t& pos, char close, std::wstring& result) {
    result.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == close) {
            return true;
        }
        if (c != '\\') {
            result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            continue;
        }
        if (pos == text.size()) {
            return false;
        }
        c = text[pos++];
        switch (c) {
        case 'a':
            result += L'\a';
            break;
        case 'b':
            result += L'\b';
            break;
        case 'e':
            result += static_cast<wchar_t>(0x1B);
            break;
        case 'f':
            result += L'\f';
            break;
        case 'n':
            result += L'\n';
            break;
        case 'r':
            result += L'\r';
            break;
        case 't':
            result += L'\t';
            break;
        case 'v':
            result += L'\v';
            break;
        case 'x': {
            unsigned code = 0;
            int digits = 0;
            for (; digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++digits) {
                code = code * 16 + static_cast<unsigned>(HexDigit(text[pos++]));
            }
            result += digits == 0 ? L'x' : static_cast<wchar_t>(code);
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                unsigned code = static_cast<unsigned>(c - '0');
                for (int digits = 1;
                     digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                     ++digits) {
                    code = code * 8 + static_cast<unsigned>(text[pos++] - '0');
                }
                result += static_cast<wchar_t>(code);
            } else {
                result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            }
        }
    }
    return false;
}

} // namespace sim
