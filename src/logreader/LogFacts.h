// The machine a log describes, in one line: Windows and its bitness, Excel and Project with
// their versions and bitness, the run's date, and whether the log is complete.
#pragma once

#include "logreader/ReportLog.h"

#include <string>

namespace LogReader {

struct LogFacts {
    std::string date;    // as the start line gives it
    std::string windows; // "Windows 10 Pro (64-bit)"; empty when the log does not say
    std::string excel;   // "16.0.4266.1001, 64-bit", "not found"; empty when the log does not say
    std::string project;
    bool complete = false;
};

// Texts in Windows-1252, as the log holds them.
LogFacts FactsOf(const ReportLog& p_Log);

// One line of the facts, in UTF-8: "Windows ...; Excel ...; Project ...; run ...; complete".
std::string FactsLine(const LogFacts& p_Facts);

} // namespace LogReader
