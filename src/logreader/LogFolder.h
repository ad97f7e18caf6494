// Every log under a folder summarised together, zips included: one row per log (file, run's
// date, Windows, Excel and Project, complete or cut off, counts) as it is read, then one row per
// kind of finding with how many logs have it, most common first. A file that is no log is listed
// as such. Only one log is held at a time: memory does not grow with the number of logs.
#pragma once

#include "logreader/LogCommands.h"

#include <ostream>
#include <string>

namespace LogReader {

int SummarizeFolder(const std::string& p_Folder, OutputFormat p_Format, bool p_Progress,
                    std::ostream& p_Out, std::ostream& p_Err);

} // namespace LogReader
