// Texts as the registry keeps them: UTF-16LE bytes.
#pragma once

#include <string>

namespace sim {

// UTF-16LE bytes of a text, without a terminator of their own.
std::string ToUtf16Le(const std::wstring& text);
// Appends the UTF-16LE bytes of one character (a pair of units beyond the basic plane).
void AppendUtf16Le(std::string& bytes, wchar_t c);
// Appends the UTF-16LE bytes of a text.
void AppendUtf16Le(std::string& bytes, const std::wstring& text);
// Decodes UTF-16LE bytes (an odd last byte is ignored); surrogate pairs are joined.
std::wstring FromUtf16Le(const std::string& bytes);

// A text value as UTF-16LE data with its terminating NUL.
std::string RegistryText(const std::wstring& text);

} // namespace sim
