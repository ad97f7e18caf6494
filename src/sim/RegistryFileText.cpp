#include "sim/RegistryFileText.h"

#include <cstring>

namespace sim {

namespace {

// The character of an escape whose backslash is just before pos (pos < text.size()); pos moves
// past the escape.
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

} // namespace

bool DecodeText(std::string_view text, size_t& pos, char close, bool& split, std::wstring& result) {
    result.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == close) {
            split = false;
            return true;
        }
        if (c != '\\') {
            result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            continue;
        }
        if (pos == text.size()) {
            break;
        }
        wchar_t decoded = DecodeEscape(text, pos);
        if (decoded == L'\\' && split) {
            return true;
        }
        result += decoded;
    }
    return false;
}

bool SkipText(std::string_view text, size_t& pos, char close) {
    // The delimiter closes the text unless an odd run of backslashes escapes it (the digits of
    // an escape are never a delimiter).
    for (size_t from = pos; from < text.size();) {
        const void* found = std::memchr(text.data() + from, close, text.size() - from);
        if (found == nullptr) {
            return false;
        }
        size_t at = static_cast<size_t>(static_cast<const char*>(found) - text.data());
        size_t backslashes = 0;
        while (at - backslashes > pos && text[at - backslashes - 1] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 0) {
            pos = at + 1;
            return true;
        }
        from = at + 1;
    }
    return false;
}

} // namespace sim
