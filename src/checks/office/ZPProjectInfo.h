// Where Project is installed, its version and bitness.
#pragma once

#include "platform/unicode.h"
#include "report/ZPLogFile.h"

class ZPProjectInfo {
public:
    // Finds the path and the version. Never raises.
    void Initialize();
    // Writes the section "Basic Project Information". Errors of the log reach the caller.
    void WriteToLog(ZPLogFile& p_Log);

private:
    Text FindProgramPath();

    Text m_Path;
    Text m_Version;
};

namespace ProjectInformation {
// The run's step: a new ZPProjectInfo, initialised and written to the run's log.
void Report();
} // namespace ProjectInformation
