#include "logreader/LogCommands.h"

#include "logreader/LogCompare.h"
#include "logreader/LogFile.h"
#include "logreader/LogFolder.h"
#include "logreader/LogPage.h"
#include "logreader/LogSummary.h"

#include <filesystem>

namespace LogReader {

namespace {

// The log of a file, or false after the reason has been written to p_Err.
bool Load(const std::string& p_Path, ReportLog& p_Log, std::ostream& p_Err) {
    ReadResult read = ReadLog(p_Path);
    if (!read.ok) {
        p_Err << "zanprobe7: " << p_Path << ": ";
        if (read.errorLine != 0) {
            p_Err << "line " << read.errorLine << ": not a report log: ";
        }
        p_Err << read.error << "\n";
        return false;
    }
    p_Log = std::move(read.log);
    return true;
}

} // namespace

ReadResult ReadLog(const std::string& p_Path) {
    LogFileBytes file = ReadLogFile(p_Path);
    if (!file.ok) {
        ReadResult result;
        result.error = file.error;
        return result;
    }
    ReadResult read = ReadReportLog(file.bytes);
    if (!file.unzipped.empty()) {
        std::string& conversion = read.log.conversion;
        conversion = file.unzipped + (conversion.empty() ? "" : ", ") + conversion;
    }
    return read;
}

int RunSummary(const std::string& p_Path, OutputFormat p_Format, bool p_Progress,
               std::ostream& p_Out, std::ostream& p_Err) {
    std::error_code error;
    if (std::filesystem::is_directory(p_Path, error)) {
        return SummarizeFolder(p_Path, p_Format, p_Progress, p_Out, p_Err);
    }
    if (p_Format == OutputFormat::Csv) {
        p_Err << "zanprobe7: " << p_Path << ": --csv is for a folder of logs\n";
        return 1;
    }
    ReportLog log;
    if (!Load(p_Path, log, p_Err)) {
        return 1;
    }
    LogSummary summary = Summarize(log);
    switch (p_Format) {
    case OutputFormat::Json:
        p_Out << SummaryJson(summary, p_Path);
        break;
    case OutputFormat::Html:
        p_Out << SummaryPage(log, summary, p_Path);
        break;
    default:
        p_Out << SummaryText(summary, p_Path);
        break;
    }
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
