// What the inspection sections share: writing their lines into the report log, and a test that
// ends at its first failure and appends the failure's description to its status. Regions that
// ignore each failure and go on use IgnoreErrors (platform/error.h).
#pragma once

#include "platform/error.h"
#include "platform/unicode.h"

#include <exception>

namespace Inspect {

// A plain line of the report log.
void WriteLine(const Text& p_Line);

// A heading block in the report log only; the window's status label is left as it is.
void WriteLogHeading(const Text& p_Heading);

// The description of a failure of any kind.
Text FailureDescription(const std::exception& p_Failure);

// Runs the steps of a test that reports its own failures: a failure ends the steps at once and
// its description is appended to the status as it stood then, as " (" description ")".
template <typename Steps> void RunStepsIntoStatus(Text& p_Status, Steps&& p_Steps) {
    try {
        p_Steps();
    } catch (const std::exception& failure) {
        p_Status += L" (" + FailureDescription(failure) + L")";
    }
}

} // namespace Inspect
