// Two report logs of the same machine compared: the sections and lines that changed, in the
// order of the run. Times and free-space figures are not compared.
#pragma once

#include "logreader/ReportLog.h"

#include <string>
#include <vector>

namespace LogReader {

struct LineChange {
    bool added = false; // false: the line is only in the old log
    LogLine line;
};

struct SectionChange {
    enum class Kind { Changed, Added, Removed } kind = Kind::Changed;
    std::string heading; // empty for the preamble
    std::vector<LineChange> lines;
};

struct LogComparison {
    std::vector<SectionChange> sections;
    size_t linesRemoved = 0;
    size_t linesAdded = 0;
    bool oldComplete = false;
    bool newComplete = false;
    // What was converted to read each log; empty when nothing was.
    std::string oldConversion;
    std::string newConversion;
};

// A line as it is compared: times of day and the free bytes of a folder listing blanked out,
// and the start line's date and time.
std::string ComparableText(const std::string& p_Text);

LogComparison CompareLogs(const ReportLog& p_Old, const ReportLog& p_New);

std::string ComparisonText(const LogComparison& p_Comparison, const std::string& p_OldName,
                           const std::string& p_NewName);
std::string ComparisonJson(const LogComparison& p_Comparison, const std::string& p_OldName,
                           const std::string& p_NewName);

} // namespace LogReader
