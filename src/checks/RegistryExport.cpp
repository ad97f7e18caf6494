#include "checks/RegistryExport.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "report/SectionOutput.h"

using namespace Utilities;

namespace RegistryExport {

const wchar_t kRegistryDumpFileName[] = L"ZandorelRegDump.txt";

namespace {

const wchar_t kRegistryEntriesFor[] = L"Registry entries for ";
const wchar_t kContentsOf[] = L"Contents of ";

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

} // namespace

void ExportRegistryKeyToLog(const Text& p_RegistryPath) {
    if (!RegistryKeyExists(p_RegistryPath, false)) {
        return;
    }
    IgnoreErrors([&] { Report::WriteSectionHeading(kRegistryEntriesFor + p_RegistryPath); });
    Text dumpFile;
    IgnoreErrors([&] { dumpFile = GetTempFolder() + L"\\" + kRegistryDumpFileName; });
    // The export command does not overwrite a dump left over from an earlier export (it would
    // ask, and get no answer): it goes first. A dump that cannot go would be appended in place
    // of this key's export, so then nothing is exported or appended.
    bool dumpCleared = false;
    IgnoreErrors([&] { dumpCleared = RemoveFile(dumpFile); });
    if (dumpCleared) {
        IgnoreErrors([&] {
            RunCommandAndWait(L"reg export " + QuotedArgument(p_RegistryPath) + L" " +
                              QuotedArgument(dumpFile));
        });
        Text logFile;
        IgnoreErrors([&] { logFile = LogFilePath(); });
        IgnoreErrors([&] {
            RunCommandAndWait(L"type " + QuotedArgument(dumpFile) + L" >> " +
                              QuotedArgument(logFile));
        });
    }
    IgnoreErrors([&] { RemoveFile(dumpFile); });
}

void ListFolderToLog(const Text& p_Folder) {
    IgnoreErrors([&] { Report::WriteSectionHeading(kContentsOf + p_Folder); });
    Text logFile;
    IgnoreErrors([&] { logFile = LogFilePath(); });
    IgnoreErrors([&] {
        RunCommandAndWait(L"dir /s /a-d " + QuotedArgument(p_Folder) + L" >> " +
                          QuotedArgument(logFile));
    });
}

} // namespace RegistryExport
