// Where Excel is installed, its version and bitness, and the folders it opens at start-up with
// the files in them.
#pragma once

#include "platform/unicode.h"
#include "report/ZPLogFile.h"

#include <cstdint>
#include <vector>

class ZPExcelInfo {
public:
    // Finds the path, the version and the start-up folders. Never raises.
    void Initialize();
    // Writes the Excel section: "Basic Excel Information" and "Excel Automatic Startup
    // Directories" with each folder's files. Errors of the log reach the caller.
    void WriteToLog(ZPLogFile& p_Log);

private:
    Text FindProgramPath();
    int32_t GetStartupDirectories(const Text& p_ProgramPath, const Text& p_Version,
                                  std::vector<Text>& p_Directories);
    int32_t ListFiles(const Text& p_Folder, std::vector<Text>& p_Files);
    Text GetAltStartupDirectory(const Text& p_Version);

    Text m_Path;
    Text m_Version;
    int32_t m_StartupDirectoryCount = 0;
    std::vector<Text> m_StartupDirectories;
};

namespace ExcelInformation {
// The run's step: a new ZPExcelInfo, initialised and written to the run's log.
void Report();
} // namespace ExcelInformation
