// Version parsing helpers: walking a delimited list, whole numbers within bounds, and dotted
// version numbers of up to four parts.
#pragma once

#include "platform/unicode.h"

#include <cstdint>

namespace Utilities {

// Cuts the piece before the first delimiter (found without regard to case) off the front of
// p_Text and returns it; p_Text keeps what follows the delimiter. Raises an invalid-argument
// error for an empty delimiter on a non-empty text.
Text GetNextSubString(Text& p_Text, const Text& delimiter);

// Parses "major[.minor[.build[.revision]]]"; major 1 to 9999, the others 0 to 9999. Parts
// stored before a failing part stay stored. Never raises.
bool ParseVersion(const Text& p_VersionText, int32_t& p_Major, int32_t& p_Minor, int32_t& p_Build,
                  int32_t& p_Revision);

// Whether the text is a number without fractional part within the bounds, both included.
// Raises an invalid-argument error when the bounds are crossed.
bool IsWholeNumberInRange(const Text& p_Text, int32_t minAllowedValue, int32_t maxAllowedValue);

// The value of a numeric text (blanks around it, a sign, digits with a decimal point, an
// exponent, or the &H and &O forms); false when the text is not numeric.
bool ParseNumber(const Text& p_Text, double& p_Value);

} // namespace Utilities
