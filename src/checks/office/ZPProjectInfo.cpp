#include "checks/office/ZPProjectInfo.h"

#include "checks/office/OfficeProgram.h"
#include "platform/error.h"
#include "platform/executables.h"
#include "report/SectionOutput.h"

void ZPProjectInfo::Initialize() {
    IgnoreErrors([&] { m_Path = FindProgramPath(); });
    IgnoreErrors([&] { m_Version = Utilities::GetFileVersionText(m_Path); });
}

void ZPProjectInfo::WriteToLog(ZPLogFile& p_Log) {
    p_Log.WriteToLogFile(L"Basic Project Information", true);
    OfficeProgram::WriteProgramLines(p_Log, OfficeProgram::kProject, m_Path, m_Version);
}

Text ZPProjectInfo::FindProgramPath() {
    return OfficeProgram::FindProgramPath(OfficeProgram::kProject);
}

namespace ProjectInformation {

void Report() {
    ZPProjectInfo info;
    info.Initialize();
    info.WriteToLog(*g_LogFile);
}

} // namespace ProjectInformation
