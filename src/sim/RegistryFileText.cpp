#include "sim/RegistryFileText.h"

#include <cstring>

namespace sim {

namespace {

// The character of an escape whose backslash is just before pos (pos < text.size()); pos moves
// past the escape.
wchar_t DecodeEscape(std::string_view text, size_t& pos) {
    // The letters that stand for control characters, each followed by its character.
    static const char kLetters[] = "a\ab\be\x1B"
                                   "f\fn\nr\rt\tv\v";
    char c = text[pos++];
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

namespace {

// The one reading of an escaped text (see DecodeText): its runs of plain characters go to
// `keepRun`, the characters of its escapes to `keepChar`.
template <typename KeepRun, typename KeepChar>
bool ScanText(std::string_view text, size_t& pos, char close, bool& split, KeepRun keepRun,
              KeepChar keepChar) {
    while (pos < text.size()) {
        // The characters up to the next delimiter or escape, taken as they are.
        size_t plain = pos;
        while (plain < text.size() && text[plain] != close && text[plain] != '\\') {
            ++plain;
        }
        keepRun(text.substr(pos, plain - pos));
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
        keepChar(decoded);
    }
    return false;
}

} // namespace

bool DecodeText(std::string_view text, size_t& pos, char close, bool& split, std::wstring& result) {
    result.clear();
    return ScanText(
        text, pos, close, split,
        [&result](std::string_view run) {
            auto bytes = reinterpret_cast<const unsigned char*>(run.data());
            result.append(bytes, bytes + run.size());
        },
        [&result](wchar_t c) { result += c; });
}

bool SkipName(std::string_view text, size_t& pos, bool& split, bool& empty) {
    empty = true;
    return ScanText(
        text, pos, ']', split, [&empty](std::string_view run) { empty = empty && run.empty(); },
        [&empty](wchar_t) { empty = false; });
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
