// The notation of Wine's registry files: hex digits and escaped strings ("\\n", "\\x41", octal).
#pragma once

#include <string>
#include <string_view>

namespace sim {

// The value of a hex digit; -1 for any other character.
int HexDigit(char c);

void SkipBlanks(std::string_view text, size_t& pos);

bool StartsWith(std::string_view text, size_t pos, std::string_view prefix);

// Parses an escaped string from pos up to its closing delimiter (not included in the result;
// pos ends after it). False when the line ends first.
bool ParseString(std::string_view text, size_t& pos, char close, std::wstring& result);

// Moves pos past an escaped string as ParseString does, without decoding it (the digits of an
// escape are never a delimiter).
bool SkipString(std::string_view text, size_t& pos, char close);

} // namespace sim
