#include "checks/RegistryExport.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/textfile.h"
#include "report/SectionOutput.h"

#include <string>

using namespace Utilities;

namespace RegistryExport {

const wchar_t kRegistryDumpFileName[] = L"ZandorelRegDump.txt";

namespace {

const wchar_t kRegistryEntriesFor[] = L"Registry entries for ";
const wchar_t kContentsOf[] = L"Contents of ";
const wchar_t kTheExport[] = L"The registry export";
const wchar_t kTheListing[] = L"The folder listing";
// Lines of a dump written to the log in one append.
const size_t kLinesPerWrite = 4096;

// A path in double quotes, as one argument of a command line. A quote inside the path would end
// the quoting and let the rest of the path act as commands, so such a path is refused.
Text QuotedArgument(const Text& p_Path) {
    if (p_Path.find(L'"') != Text::npos) {
        throw ZPError::InvalidArgument();
    }
    return L"\"" + p_Path + L"\"";
}

Text LogFilePath() {
    return g_LogFile ? g_LogFile->LogFilePath() : Text();
}

void WriteFailure(const Text& p_Text) {
    if (g_LogFile) {
        g_LogFile->Failure(p_Text);
    }
}

// The size of a file in bytes; -1 when it cannot be found.
long long FileSize(const Text& p_Path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(ToAnsi(p_Path).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return -1;
    }
    FindClose(search);
    return (static_cast<long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

// Why a command that ended with a failure did: the user policies that stop the command
// interpreter and reg, else its exit code.
Text CommandFailureReason(const CommandOutcome& p_Outcome, bool p_RegistryTool) {
    if (p_Outcome.timedOut) {
        return L"it did not end within " + std::to_wstring(kCommandTimeLimit / 60000) +
               L" minutes and was stopped";
    }
    int32_t disableCmd = ReadRegistryNumber(
        HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Windows\\System", L"DisableCMD", 0);
    if (disableCmd != 0) {
        return L"the command prompt is disabled by policy (DisableCMD = " +
               std::to_wstring(disableCmd) + L")";
    }
    int32_t disableTools = ReadRegistryNumber(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
        L"DisableRegistryTools", 0);
    if (p_RegistryTool && disableTools != 0) {
        return L"registry editing tools are disabled by policy (DisableRegistryTools = " +
               std::to_wstring(disableTools) + L")";
    }
    return L"the command ended with exit code " + std::to_wstring(p_Outcome.exitCode);
}

// Runs a command; on a failure to start it or to end it in time, writes its "<FAILURE> " line
// and returns false.
bool RunReported(const Text& p_What, const Text& p_Command, CommandOutcome& p_Outcome) {
    try {
        p_Outcome = RunCommandAndWait(p_Command);
    } catch (const ZPError& error) {
        WriteFailure(p_What +
                     L" could not run: the command interpreter could not be started "
                     L"(error " +
                     std::to_wstring(error.Number()) + L": " + error.Description() + L")");
        return false;
    }
    if (p_Outcome.timedOut) {
        WriteFailure(p_What + L" failed: " + CommandFailureReason(p_Outcome, false));
        return false;
    }
    return true;
}

// Copies the dump into the log as the program's own lines: reg export writes UTF-16, the log is
// in the ANSI code page, as every line the program writes. False when the dump holds nothing.
bool AppendDump(const Text& p_DumpFile) {
    Text block;
    size_t lines = 0;
    bool any = false;
    ReadTextLines(p_DumpFile, [&](const Text& line) {
        block += (lines > 0 ? L"\r\n" : L"") + line;
        any = true;
        if (++lines == kLinesPerWrite) {
            g_LogFile->WriteToLogFile(block, false);
            block.clear();
            lines = 0;
        }
    });
    if (lines > 0) {
        g_LogFile->WriteToLogFile(block, false);
    }
    return any;
}

} // namespace

void ExportRegistryKeyToLog(const Text& p_RegistryPath) {
    if (!RegistryKeyExists(p_RegistryPath, false)) {
        return;
    }
    IgnoreErrors([&] { Report::WriteSectionHeading(kRegistryEntriesFor + p_RegistryPath); });
    IgnoreErrors([&] {
        Text dumpFile = GetTempFolder() + L"\\" + kRegistryDumpFileName;
        // The export command does not overwrite a dump left over from an earlier export (it
        // would ask, and get no answer): it goes first. A dump that cannot go would be appended
        // in place of this key's export, so then nothing is exported or appended.
        if (!RemoveFile(dumpFile)) {
            WriteFailure(Text(kTheExport) + L" could not run: the previous export file " +
                         dumpFile + L" cannot be deleted");
            return;
        }
        CommandOutcome outcome;
        if (RunReported(kTheExport,
                        L"reg export " + QuotedArgument(p_RegistryPath) + L" " +
                            QuotedArgument(dumpFile),
                        outcome)) {
            if (outcome.exitCode != 0) {
                WriteFailure(Text(kTheExport) + L" failed: " + CommandFailureReason(outcome, true));
            } else if (!g_LogFile || !AppendDump(dumpFile)) {
                WriteFailure(Text(kTheExport) + L" failed: reg export wrote no export file");
            }
        }
        RemoveFile(dumpFile);
    });
}

void ListFolderToLog(const Text& p_Folder) {
    IgnoreErrors([&] { Report::WriteSectionHeading(kContentsOf + p_Folder); });
    IgnoreErrors([&] {
        Text logFile = LogFilePath();
        long long before = FileSize(logFile);
        // dir writes in the console's code page (the OEM one); the log is in the ANSI code page.
        // The console takes the ANSI code page first, so that the listing reaches the log as the
        // program's own lines do; should that fail, no listing in another code page is written.
        CommandOutcome outcome;
        Text command = L"chcp " + std::to_wstring(GetACP()) + L" >nul && dir /s /a-d " +
                       QuotedArgument(p_Folder) + L" >> " + QuotedArgument(logFile);
        if (RunReported(kTheListing, command, outcome) && FileSize(logFile) <= before) {
            WriteFailure(Text(kTheListing) + L" did not reach the log: " +
                         CommandFailureReason(outcome, false));
        }
    });
}

} // namespace RegistryExport
