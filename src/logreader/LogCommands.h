// The log reader's commands as the Linux program runs them: read the files, print the summary
// (of a log or of a folder of logs) or the comparison on p_Out, report a file that cannot be
// read or is no report log on p_Err. They return the program's exit code: 0 when the logs were
// read, 1 when not.
#pragma once

#include "logreader/ReportLog.h"

#include <ostream>
#include <string>

namespace LogReader {

enum class OutputFormat { Text, Json, Csv, Html };

// A log file read as support receives it (plain or zipped, see LogFile.h and ReportLog.h); when
// it was unzipped, the conversion says so first.
ReadResult ReadLog(const std::string& p_Path);

// p_Path is a log, or a folder whose logs are summarised together; p_Progress: a progress line
// on p_Err while a folder takes long.
int RunSummary(const std::string& p_Path, OutputFormat p_Format, bool p_Progress,
               std::ostream& p_Out, std::ostream& p_Err);
int RunCompare(const std::string& p_OldPath, const std::string& p_NewPath, bool p_Json,
               std::ostream& p_Out, std::ostream& p_Err);

} // namespace LogReader
