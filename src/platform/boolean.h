// Text to Boolean by the rules of the standard conversion of the automation runtime.
#pragma once

#include "platform/unicode.h"

namespace Utilities {

// True or false from the words "True" and "False" in any letter case, "#TRUE#" and "#FALSE#",
// or a number (zero false, any other true; signs, a decimal point, an exponent, thousands
// separators, "&H" and "&O" forms and surrounding blanks accepted). Anything else, the empty
// text included, raises error 13 "Type mismatch".
bool TextToBoolean(const Text& p_Text);

} // namespace Utilities
