// Basic text helpers: cutting a text at its NUL, safe left and right parts and suffix tests.
#pragma once

#include "platform/unicode.h"

#include <cstdint>

namespace Utilities {

// Whether p_Text ends with p_Suffix; an empty suffix always matches.
bool EndsWith(const Text& p_Text, const Text& p_Suffix, bool p_CaseSensitive);

// p_Text without one trailing occurrence of p_Suffix, compared without regard to case.
Text RemoveTrailing(const Text& p_Text, const Text& p_Suffix);

// The text before its first NUL character.
Text TrimAtNull(const Text& p_Text);

// The first or last p_Count characters; the whole text when shorter; "" for counts below 1.
Text SafeLeft(const Text& p_Text, int16_t p_Count);
Text SafeRight(const Text& p_Text, int16_t p_Count);

} // namespace Utilities
