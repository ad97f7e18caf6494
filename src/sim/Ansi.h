// How ANSI texts cross the simulated seam: arguments decoded and results encoded in the
// machine's code page, results copied out with Windows' buffer conventions.
#pragma once

#include "winapi/winapi.h"

#include <string>

namespace sim {

// An ANSI argument as a wide text ("" for a null pointer).
std::wstring FromAnsiArgument(LPCSTR text);

// A wide text in the machine's code page.
std::string ToMachineAnsi(const std::wstring& text);

// Copies a result into a caller's buffer of `size` characters: the length without the NUL
// when it fits, else the size needed with the NUL and nothing copied.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size);

} // namespace sim
