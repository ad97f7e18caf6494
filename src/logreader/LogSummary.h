// The summary of a report log for support: per section only the lines that need a look (a
// failure, a missing item, a failure marker, the statuses of the type-library and version
// consistency tests), the counts, and whether the log is complete.
#pragma once

#include "logreader/FindingRules.h"
#include "logreader/ReportLog.h"

#include <string>
#include <vector>

namespace LogReader {

enum class FindingKind { Failed, Missing, FailureMarker, Status };

struct Finding {
    FindingKind kind;
    LogLine line;
    const FindingRule* rule = nullptr; // what it means; nullptr when no rule explains it
};

struct SectionFindings {
    std::string heading; // empty for the preamble
    size_t headingLine = 0;
    std::vector<Finding> findings;
};

struct LogSummary {
    std::vector<SectionFindings> sections; // only sections with findings, in the order of the run
    size_t sectionCount = 0;               // headings in the log
    size_t counts[4] = {0, 0, 0, 0};       // by FindingKind
    size_t lineCount = 0;
    bool complete = false;
    size_t cutAfterLine = 0;
    std::string conversion; // what was converted to read the log; empty when nothing
    std::vector<DamagedLine> damaged;
};

// What a line is worth a look for; false when it is not.
bool ClassifyLine(const std::string& p_Text, bool p_InStatusSection, FindingKind& p_Kind);

// Whether a "Status: " line's text (after "Status: ") reports success.
bool IsSuccessStatus(const std::string& p_Status);

LogSummary Summarize(const ReportLog& p_Log);

std::string SummaryText(const LogSummary& p_Summary, const std::string& p_Name);
std::string SummaryJson(const LogSummary& p_Summary, const std::string& p_Name);

} // namespace LogReader
