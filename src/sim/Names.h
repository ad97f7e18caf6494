// Names as Windows compares them (files, registry keys and values, environment variables):
// without regard to letter case, in every script, whatever the host's locale is.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// Upper case of one character.
wchar_t UpperChar(wchar_t c);

// A name upper-cased character by character, the form names are sorted and indexed by.
std::wstring UpperName(std::wstring name);

// Whether two names are equal without regard to letter case (a name spelt in the code is compared
// where it stands, without a string made of it).
bool SameName(std::wstring_view a, std::wstring_view b);

} // namespace sim
