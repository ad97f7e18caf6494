// A log's summary as one self-contained HTML page: the machine in one line and the counts at
// the top, the findings with their explanations, then every section in the order of the run,
// marked passed or needing a look, its full text collapsed. No script, nothing fetched: the
// style is inline. Everything from the log is escaped.
#pragma once

#include "logreader/LogSummary.h"

#include <string>

namespace LogReader {

std::string SummaryPage(const ReportLog& p_Log, const LogSummary& p_Summary,
                        const std::string& p_Name);

// The start of a page up to its body's first element, and its end.
std::string PageStart(const std::string& p_Title);
std::string PageEnd();

// The counts of a summary in words: "30 sections: 2 failed, 9 missing, ...".
std::string CountsText(const LogSummary& p_Summary);

} // namespace LogReader
