// The run sequence: creates the report log, writes the preamble, runs every check in its fixed
// order, closes the log and returns the outcome for the window.
#pragma once

#include "platform/unicode.h"
#include "report/ZPLogFile.h"

#include <memory>
#include <vector>

// The report log of the current (or last) run; empty until the first run.
extern std::unique_ptr<ZPLogFile> g_LogFile;

namespace Diagnostics {

// Runs every step; returns "" after a run that went through all steps, otherwise
// "Diagnostics Failed: " and the description of the error that ended it.
Text RunDiagnostics();

// Opens a section: a heading block in the log and the section's name in the window.
void WriteSectionHeading(const Text& p_SectionName);

// One step of the run, in the order of the table.
struct RunStep {
    const wchar_t* name;
    void (*run)();
};

// The steps of a run, in order.
const std::vector<RunStep>& RunSteps();

} // namespace Diagnostics
