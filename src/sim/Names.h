// Names as Windows compares them (files, registry keys and values, environment variables):
// without regard to letter case, in every script, whatever the host's locale is.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// Upper case of a character outside ASCII.
wchar_t UpperNonAsciiChar(wchar_t c);

// Upper case of one character. ASCII, most of what names hold, needs no table.
inline wchar_t UpperChar(wchar_t c) {
    if (c < 0x80) {
        return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return UpperNonAsciiChar(c);
}

// A name upper-cased character by character, the form names are sorted and indexed by.
std::wstring UpperName(std::wstring name);

// Whether two names are equal without regard to letter case (a name spelt in the code is compared
// where it stands, without a string made of it).
bool SameName(std::wstring_view a, std::wstring_view b);

} // namespace sim
