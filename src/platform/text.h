// Basic text and file helpers: cutting a text at its NUL, safe left and right parts, suffix
// tests, the user's temporary folder and the existence test for files.
#pragma once

#include "platform/unicode.h"

#include <cstdint>

namespace Utilities {

// Whether p_Text ends with p_Suffix; an empty suffix always matches.
bool EndsWith(const Text& p_Text, const Text& p_Suffix, bool p_CaseSensitive);

// The user's temporary folder in long form without a trailing backslash; "" when unknown.
Text GetTempFolder();

// p_Text without one trailing occurrence of p_Suffix, compared without regard to case.
Text RemoveTrailing(const Text& p_Text, const Text& p_Suffix);

// The text before its first NUL character.
Text TrimAtNull(const Text& p_Text);

// The first or last p_Count characters; the whole text when shorter; "" for counts below 1.
Text SafeLeft(const Text& p_Text, int16_t p_Count);
Text SafeRight(const Text& p_Text, int16_t p_Count);

// Whether a normal file (not hidden, not system, not a folder) of exactly this path exists.
bool FileExists(const Text& p_Path);

// Deletes the file at the path, whatever its attributes except read-only; true when no file is
// left there (also when there was none), false when one stays (read-only, held open, a folder).
bool RemoveFile(const Text& p_Path);

// The directory search: the name of the first entry that matches p_Pattern (which may hold
// wildcards) and carries none of the attributes hidden, system, directory and volume label;
// "" when none matches or the folder does not exist. An invalid path raises error 52.
Text FindFirstPlainFile(const Text& p_Pattern);

} // namespace Utilities
