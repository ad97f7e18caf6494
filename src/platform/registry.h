// Reading the Windows registry: whether a key or value exists, and text and number values.
// Every helper opens the key it needs, reads and closes it again before it returns; absence is
// never an error (False, "" or the caller's default).
#pragma once

#include "platform/unicode.h"
#include "winapi/winapi.h"

#include <cstdint>

namespace Utilities {

// Whether the key of a full registry path ("HKEY_LOCAL_MACHINE\Software\Microsoft", any letter
// case; only the long root names HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE) can
// be opened for reading. A root name followed by a backslash alone names the root itself. An
// empty path or a bare root name raises ZPError::InvalidArgument.
bool RegistryKeyExists(const Text& p_RegistryPath, bool p_Use64BitView);

// Whether the key opens and holds a value of this name ("" is the default value).
bool RegistryValueExists(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                         bool p_Use64BitView);

// A value's data as text, read as ANSI up to its first NUL whatever its type (REG_EXPAND_SZ
// expanded); "" for a value without data; p_Default when the key or value cannot be read or the
// data is longer than 2048 characters.
Text ReadRegistryString(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                        const Text& p_Default, bool p_Use64BitView);

// A value's data as a 32-bit number, in the program's own view. Data of up to 4 bytes replaces
// the low-order bytes of p_Default (little-endian); a missing value or longer data gives
// p_Default.
int32_t ReadRegistryNumber(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                           int32_t p_Default);

// The type (REG_SZ, REG_DWORD, ...) of a value, in the program's own view; false when the key
// or value cannot be read.
bool ReadRegistryValueType(HKEY p_Root, const Text& p_SubKey, const Text& p_ValueName,
                           DWORD& p_Type);

// p_Text with its %NAME% references replaced by the environment's values (unknown names stay).
Text ExpandEnvironment(const Text& p_Text);

} // namespace Utilities
