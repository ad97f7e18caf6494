#include "sim/RegistryFileText.h"

namespace sim {

namespace {

// The character of an escape whose backslash is just before pos (pos < text.size()); pos moves
// past the escape.
wchar_t DecodeEscape(std::string_view text, size_t& pos) {
    // The letters that stand for control characters, each followed by its character.
    static const char kLetters[] = "a\ab\be\x1B"
                                   "f\fn\nr\rt\tv\v";
    char c = text[pos++];
    if (c == '\\') {
        return L'\\';
    }
    for (size_t i = 0; kLetters[i] != '\0'; i += 2) {
        if (kLetters[i] == c) {
            return static_cast<wchar_t>(kLetters[i + 1]);
        }
    }
    size_t start = pos;
    unsigned code = 0;
    if (c == 'x') {
        // Up to four hex digits; without one, the letter itself.
        for (; pos - start < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++pos) {
            code = code * 16 + static_cast<unsigned>(HexDigit(text[pos]));
        }
        return pos == start ? L'x' : static_cast<wchar_t>(code);
    }
    if (c < '0' || c > '7') {
        return static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    // Up to three octal digits.
    code = static_cast<unsigned>(c - '0');
    for (; pos - start < 2 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7'; ++pos) {
        code = code * 8 + static_cast<unsigned>(text[pos] - '0');
    }
    return static_cast<wchar_t>(code);
}

} // namespace

bool DecodeText(std::string_view text, size_t& pos, char close, bool& split, std::wstring& result) {
    result.clear();
    while (pos < text.size()) {
        // The characters up to the next delimiter or escape, taken as they are.
        size_t plain = pos;
        while (plain < text.size() && text[plain] != close && text[plain] != '\\') {
            ++plain;
        }
        auto bytes = reinterpret_cast<const unsigned char*>(text.data());
        result.append(bytes + pos, bytes + plain);
        pos = plain;
        if (pos == text.size()) {
            break;
        }
        if (text[pos++] == close) {
            split = false;
            return true;
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

bool SkipName(std::string_view text, size_t& pos, bool& split, bool& empty) {
    // Only the escapes before the closing bracket need a look: one may end the name, or take the
    // bracket itself ("\\]").
    size_t start = pos;
    size_t close = text.find(']', pos);
    for (size_t at; (at = text.substr(0, close).find('\\', pos)) != std::string_view::npos;) {
        pos = at + 1;
        if (pos == text.size()) {
            return false;
        }
        if (DecodeEscape(text, pos) == L'\\' && split) {
            empty = at == start;
            return true;
        }
        close = pos > close ? text.find(']', pos) : close;
    }
    if (close == std::string_view::npos) {
        pos = text.size();
        return false;
    }
    pos = close + 1;
    empty = close == start;
    split = false;
    return true;
}

bool SkipText(std::string_view text, size_t& pos, char close) {
    // The delimiter closes the text unless an odd run of backslashes escapes it (the digits of
    // an escape are never a delimiter).
    for (size_t at = pos; (at = text.find(close, at)) != std::string_view::npos; ++at) {
        size_t backslashes = 0;
        while (at - backslashes > pos && text[at - backslashes - 1] == '\\') {
            ++backslashes;
        }
        if (backslashes % 2 == 0) {
            pos = at + 1;
            return true;
        }
    }
    return false;
}

} // namespace sim
