// Section output: the report log of the current run and the lines, headings and section
// headings that the checks write into it. A section heading is also announced to one listener
// (the window's status label); this layer knows nothing of windows.
#pragma once

#include "platform/unicode.h"
#include "report/ZPLogFile.h"

#include <functional>
#include <memory>

// The report log of the current (or last) run; empty until the first run.
extern std::unique_ptr<ZPLogFile> g_LogFile;

namespace Report {

// A plain line of the report log; nothing when no log is open.
void WriteLine(const Text& p_Line);

// A heading block in the report log only; the listener is not told.
void WriteLogHeading(const Text& p_Heading);

// Opens a section: a heading block in the log, and the section's name to the listener.
void WriteSectionHeading(const Text& p_SectionName);

// Who hears of each section heading; an empty function removes the listener.
using SectionListener = std::function<void(const Text& p_SectionName)>;
void SetSectionListener(SectionListener p_Listener);

} // namespace Report
