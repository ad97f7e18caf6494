// How ANSI texts cross the simulated seam: arguments decoded and results encoded in the
// machine's code page, results copied out with Windows' buffer conventions.
#pragma once

#include "sim/Errors.h"
#include "winapi/winapi.h"

#include <algorithm>
#include <string>

namespace sim {

// An ANSI argument as a wide text ("" for a null pointer).
std::wstring FromAnsiArgument(LPCSTR text);

// A wide text in the machine's code page.
std::string ToMachineAnsi(const std::wstring& text);

// Copies a result into a caller's buffer of `size` characters: the length without the NUL
// when it fits, else the size needed with the NUL and nothing copied.
template <typename Char>
DWORD CopyOut(const std::basic_string<Char>& text, Char* buffer, DWORD size) {
    auto length = static_cast<DWORD>(text.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::copy(text.c_str(), text.c_str() + length + 1, buffer);
    return length;
}

// Copies a result of text.size() units (the NUL among them where it counts) into a caller's
// buffer of `size` units, as the conversion and formatting functions do: a size of 0 asks for the
// length; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER and 0.
template <typename Char>
int CopyCounted(const std::basic_string<Char>& text, Char* buffer, int size) {
    int length = static_cast<int>(text.size());
    if (size == 0) {
        return length;
    }
    if (buffer == nullptr || size < length) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, 0);
    }
    std::copy(text.begin(), text.end(), buffer);
    return length;
}

} // namespace sim
