// The log reader's commands as the Linux program runs them: read the files, print the summary
// or the comparison on p_Out, report a file that cannot be read or is no report log on p_Err.
// They return the program's exit code: 0 when the logs were read, 1 when not.
#pragma once

#include <ostream>
#include <string>

namespace LogReader {

int RunSummary(const std::string& p_Path, bool p_Json, std::ostream& p_Out, std::ostream& p_Err);
int RunCompare(const std::string& p_OldPath, const std::string& p_NewPath, bool p_Json,
               std::ostream& p_Out, std::ostream& p_Err);

} // namespace LogReader
