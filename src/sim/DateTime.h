// Dates and times in Windows' picture formats on the simulated machine.
#pragma once

#include "winapi/winapi.h"

#include <ctime>
#include <string>

namespace sim {

// Renders a Windows date or time picture ("M/d/yyyy", "h:mm:ss tt", quoted text in '...')
// with the machine's day-period designators.
std::wstring RenderPicture(const std::wstring& picture, const SYSTEMTIME& time);

// A host time as the machine's local time.
SYSTEMTIME LocalTimeOf(time_t time);

} // namespace sim
