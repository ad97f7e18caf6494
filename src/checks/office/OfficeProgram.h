// What the Excel and Project information share: the search for the program's executable and
// the lines that report its path, version and bitness. The two differ only in the values of
// OfficeProgram.
#pragma once

#include "platform/unicode.h"
#include "report/ZPLogFile.h"

namespace OfficeProgram {

struct Kind {
    // The program's name in the log ("Excel").
    const wchar_t* name;
    // The suite's hint, a value under HKEY_LOCAL_MACHINE\Software\Zandorel ("Excel Path").
    const wchar_t* pathValueName;
    // The temporary document whose type Windows is asked about, appended to the temporary
    // folder ("\ZandorelLaunchTemp.xls").
    const wchar_t* temporaryDocument;
    // The new-document command, the default value of this HKEY_CLASSES_ROOT key
    // ("Excel.Sheet.8\Shell\New\Command").
    const wchar_t* newDocumentCommandKey;
};

extern const Kind kExcel;
extern const Kind kProject;

// The program's executable: the suite's hint unchanged when set; otherwise the program that
// Windows associates with the temporary document's type, or the new-document command without a
// final " /e" when only that names an existing file; "" when nothing is found. Raises when the
// temporary document cannot be created.
Text FindProgramPath(const Kind& p_Kind);

// "Default Path = ", "Version = " and the bitness line (only for a path with a backslash), or
// "Program not found" when both are empty.
void WriteProgramLines(ZPLogFile& p_Log, const Kind& p_Kind, const Text& p_Path,
                       const Text& p_Version);

} // namespace OfficeProgram
