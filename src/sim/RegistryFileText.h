// The notation of Wine's registry files: hex digits and escaped texts ("\\n", "\\x41", octal).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace sim {

// The value of a hex digit; -1 for any other character.
inline int HexDigit(char c) {
    static constexpr auto kDigits = [] {
        std::array<signed char, 256> digits{};
        for (int c = 0; c < 256; ++c) {
            digits[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                 : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                 : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                        : -1);
        }
        return digits;
    }();
    return kDigits[static_cast<unsigned char>(c)];
}

inline void SkipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
}

inline bool StartsWith(std::string_view text, size_t pos, std::string_view prefix) {
    return pos <= text.size() && text.substr(pos, prefix.size()) == prefix;
}

// Decodes an escaped text from pos on, up to its closing delimiter `close` (not included; pos ends
// past it). With `split`, an escaped backslash also ends it (pos ends past the escape; `split`
// stays true) and the text is one name of a key path; else `split` is set false. False when the
// line ends first. The one decoder of names and texts.
bool DecodeText(std::string_view text, size_t& pos, char close, bool& split, std::wstring& result);

// Moves pos past one name of a key path as DecodeText does with `]`, `split` and all, without
// decoding it: `empty` says whether the name was empty.
bool SkipName(std::string_view text, size_t& pos, bool& split, bool& empty);

// Moves pos past an escaped text as DecodeText does, without decoding it.
bool SkipText(std::string_view text, size_t& pos, char close);

} // namespace sim
