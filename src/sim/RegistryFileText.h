// The notation of Wine's registry files: hex digits and escaped strings ("\\n", "\\x41", octal).
// The small helpers are inline: the loader calls them for every character of a file.
#pragma once

#include "sim/WordLanes.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace sim {

// The values of the hex digits by character; -1 for any other character.
extern const signed char kHexDigits[256];

// The value of a hex digit; -1 for any other character.
inline int HexDigit(char c) {
    return kHexDigits[static_cast<unsigned char>(c)];
}

inline void SkipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
}

inline bool StartsWith(std::string_view text, size_t pos, std::string_view prefix) {
    return text.size() >= pos && text.size() - pos >= prefix.size() &&
           text.compare(pos, prefix.size(), prefix) == 0;
}

// How many bytes from data on are neither stop nor a backslash (at most size), found eight bytes
// at a time.
inline size_t PlainLength(const char* data, size_t size, char stop) {
    using Bytes = WordLanes<8>;
    size_t length = 0;
    for (; length + 8 <= size; length += 8) {
        uint64_t word = Bytes::Load(data + length);
        if (Bytes::AnyEqual(word, static_cast<unsigned char>(stop)) ||
            Bytes::AnyEqual(word, '\\')) {
            break;
        }
    }
    while (length < size && data[length] != stop && data[length] != '\\') {
        ++length;
    }
    return length;
}

// Widens bytes to characters (each byte one character, as the files' texts are read).
inline void Widen(const char* from, size_t length, wchar_t* to) {
    for (size_t i = 0; i < length; ++i) {
        to[i] = static_cast<wchar_t>(static_cast<unsigned char>(from[i]));
    }
}

// The character of an escape whose backslash is just before pos (pos < text.size()); pos moves
// past the escape.
wchar_t DecodeEscape(std::string_view text, size_t& pos);

// Parses an escaped string from pos up to its closing delimiter (not included in the result;
// pos ends after it). False when the line ends first.
bool ParseString(std::string_view text, size_t& pos, char close, std::wstring& result);

// Moves pos past an escaped string as ParseString does, without decoding it (the digits of an
// escape are never a delimiter).
inline bool SkipString(std::string_view text, size_t& pos, char close) {
    const char* data = text.data();
    size_t from = pos;
    while (from < text.size()) {
        const void* found = std::memchr(data + from, close, text.size() - from);
        if (found == nullptr) {
            return false;
        }
        size_t at = static_cast<size_t>(static_cast<const char*>(found) - data);
        // The delimiter closes the string unless an odd run of backslashes escapes it.
        size_t backslashes = 0;
        while (at - backslashes > pos && data[at - backslashes - 1] == '\\') {
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
