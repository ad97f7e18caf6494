#include "logreader/LogCommands.h"

#include "logreader/LogCompare.h"
#include "logreader/LogSummary.h"
#include "logreader/OutputText.h"

#include <fstream>
#include <sstream>

namespace LogReader {

namespace {

// The log of a file, or false after the reason has been written to p_Err.
bool Load(const std::string& p_Path, ReportLog& p_Log, std::ostream& p_Err) {
    std::ifstream file(p_Path, std::ios::binary);
    std::stringstream bytes;
    if (file) {
        bytes << file.rdbuf();
    }
    if (!file || file.bad()) {
        p_Err << "zanprobe7: " << p_Path << ": cannot be read\n";
        return false;
    }
    ReadResult read = ReadReportLog(bytes.str());
    if (!read.ok) {
        p_Err << "zanprobe7: " << p_Path << ": line " << read.errorLine
              << ": not a report log: " << read.error << "\n";
        return false;
    }
    p_Log = std::move(read.log);
    return true;
}

} // namespace

int RunSummary(const std::string& p_Path, bool p_Json, std::ostream& p_Out, std::ostream& p_Err) {
    ReportLog log;
    if (!Load(p_Path, log, p_Err)) {
        return 1;
    }
    LogSummary summary = Summarize(log);
    p_Out << (p_Json ? SummaryJson(summary, p_Path) : SummaryText(summary, p_Path));
    return 0;
}

int RunCompare(const std::string& p_OldPath, const std::string& p_NewPath, bool p_Json,
               std::ostream& p_Out, std::ostream& p_Err) {
    ReportLog oldLog;
    ReportLog newLog;
    if (!Load(p_OldPath, oldLog, p_Err) || !Load(p_NewPath, newLog, p_Err)) {
        return 1;
    }
    LogComparison comparison = CompareLogs(oldLog, newLog);
    p_Out << (p_Json ? ComparisonJson(comparison, p_OldPath, p_NewPath)
                     : ComparisonText(comparison, p_OldPath, p_NewPath));
    return 0;
}

} // namespace LogReader
