#include "checks/office/ZPExcelInfo.h"

#include "checks/office/OfficeProgram.h"
#include "platform/error.h"
#include "platform/executables.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"
#include "winapi/winapi.h"

using namespace Utilities;

namespace {

const size_t kMaxStartupDirectories = 10;
const int32_t kMaxListedFiles = 1000;
const DWORD kNotPlainFile =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

} // namespace

void ZPExcelInfo::Initialize() {
    IgnoreErrors([&] { m_Path = FindProgramPath(); });
    IgnoreErrors([&] { m_Version = GetFileVersionText(m_Path); });
    IgnoreErrors([&] {
        m_StartupDirectoryCount = GetStartupDirectories(m_Path, m_Version, m_StartupDirectories);
    });
}

void ZPExcelInfo::WriteToLog(ZPLogFile& p_Log) {
    p_Log.WriteToLogFile(L"Basic Excel Information", true);
    OfficeProgram::WriteProgramLines(p_Log, OfficeProgram::kExcel, m_Path, m_Version);
    p_Log.WriteToLogFile(L"Excel Automatic Startup Directories", true);
    std::vector<Text> files;
    for (int32_t i = 0;
         i < m_StartupDirectoryCount && static_cast<size_t>(i) < m_StartupDirectories.size(); ++i) {
        const Text& folder = m_StartupDirectories[static_cast<size_t>(i)];
        int32_t count = ListFiles(folder, files);
        p_Log.WriteToLogFile(folder + L" {" + std::to_wstring(count) + L" File" +
                                 (count == 1 ? L"" : L"s") + L"}",
                             false);
        for (int32_t f = 0; f < count; ++f) {
            p_Log.WriteToLogFile(L"   " + files[static_cast<size_t>(f)], false);
        }
    }
}

Text ZPExcelInfo::FindProgramPath() {
    return OfficeProgram::FindProgramPath(OfficeProgram::kExcel);
}

int32_t ZPExcelInfo::GetStartupDirectories(const Text& p_ProgramPath, const Text& p_Version,
                                           std::vector<Text>& p_Directories) {
    p_Directories.clear();
    p_Directories.reserve(kMaxStartupDirectories);
    // An error ends the search; the folders found up to then stay valid.
    try {
        Text folder;
        Text fileName;
        SplitFilePath(p_ProgramPath, folder, fileName);
        Text candidate = folder + L"\\XLSTART";
        if (FolderExists(candidate)) {
            p_Directories.push_back(candidate);
        }
        Text appData = GetAppDataFolder();
        if (!appData.empty()) {
            candidate = appData + L"\\Microsoft\\Excel\\XLSTART";
            if (FolderExists(candidate)) {
                p_Directories.push_back(candidate);
            }
        }
        candidate = GetAltStartupDirectory(p_Version);
        if (!candidate.empty() && FolderExists(candidate)) {
            p_Directories.push_back(candidate);
        }
    } catch (const std::exception&) {
    }
    return static_cast<int32_t>(p_Directories.size());
}

int32_t ZPExcelInfo::ListFiles(const Text& p_Folder, std::vector<Text>& p_Files) {
    p_Files.clear();
    WIN32_FIND_DATAA found;
    UniqueFindHandle search(FindFirstFileA(ToAnsi(p_Folder + L"\\*").c_str(), &found));
    if (!search.IsValid()) {
        return 0;
    }
    do {
        if ((found.dwFileAttributes & kNotPlainFile) == 0) {
            p_Files.push_back(FromAnsi(found.cFileName));
        }
    } while (static_cast<int32_t>(p_Files.size()) < kMaxListedFiles &&
             FindNextFileA(search.Get(), &found));
    return static_cast<int32_t>(p_Files.size());
}

Text ZPExcelInfo::GetAltStartupDirectory(const Text& p_Version) {
    size_t dot = p_Version.find(L'.');
    if (p_Version.empty() || dot == Text::npos || dot == 0) {
        return L"";
    }
    Text officeVersion = p_Version.substr(0, dot + 1) + L"0";
    return ReadRegistryString(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\" + officeVersion + L"\\Excel\\Options",
        L"AltStartup", L"", false);
}

namespace ExcelInformation {

void Report() {
    ZPExcelInfo info;
    info.Initialize();
    info.WriteToLog(*g_LogFile);
}

} // namespace ExcelInformation
