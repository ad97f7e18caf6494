// Text conversions of the simulated machine: between the host's UTF-8 names, the program's
// wide texts and the bytes of a Windows code page.
#pragma once

#include <string>

namespace sim {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// Decodes bytes of a code page. Bytes that the code page does not define stand for the
// character of the same number, as Windows does for the holes of its single-byte tables.
std::wstring CodePageToWide(unsigned codePage, const std::string& bytes);

// Encodes a wide text in a code page. A character that the code page cannot hold becomes
// defaultChar, and usedDefault (when given) tells whether that happened.
std::string WideToCodePage(unsigned codePage, const std::wstring& text, char defaultChar = '?',
                           bool* usedDefault = nullptr);

// Whether the host's converter knows the code page.
bool IsKnownCodePage(unsigned codePage);

} // namespace sim
