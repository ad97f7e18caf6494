// The run sequence: creates the report log, writes the preamble, runs every check in its fixed
// order, closes the log, lets COM unload the servers the run no longer uses and returns the
// outcome for the window.
#pragma once

#include "platform/unicode.h"
#include "report/SectionOutput.h"

#include <vector>

namespace Diagnostics {

// Runs every step; returns "" after a run that went through all steps, otherwise
// "Diagnostics Failed: " and the description of the error that ended it.
Text RunDiagnostics();

// One step of the run: a check that writes its section of the log.
using RunStep = void (*)();

// The steps of a run, in order.
const std::vector<RunStep>& RunSteps();

} // namespace Diagnostics
