#include "checks/office/OfficeProgram.h"

#include "platform/error.h"
#include "platform/executables.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "winapi/winapi.h"

#include <string>

using namespace Utilities;

namespace OfficeProgram {

const Kind kExcel = {L"Excel", L"Excel Path", L"\\ZandorelLaunchTemp.xls",
                     L"Excel.Sheet.8\\Shell\\New\\Command"};
const Kind kProject = {L"Project", L"Project Path", L"\\ZandorelLaunchTemp.mpp",
                       L"MSProject.Project.9\\Shell\\New\\Command"};

namespace {

const size_t kResultBufferSize = 1024;

// The temporary document, created empty (an existing one truncated) and deleted when the
// search ends, however it ends; a failed deletion is ignored.
class TemporaryDocument {
public:
    explicit TemporaryDocument(Text path) : m_Path(std::move(path)) {
        UniqueHandle file(CreateFileA(ToAnsi(m_Path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid()) {
            throw ZPError(75, L"Path/File access error");
        }
    }
    ~TemporaryDocument() { DeleteFileA(ToAnsi(m_Path).c_str()); }
    TemporaryDocument(const TemporaryDocument&) = delete;
    TemporaryDocument& operator=(const TemporaryDocument&) = delete;
    const Text& Path() const { return m_Path; }

private:
    Text m_Path;
};

// Asks Windows for the program associated with the document's type; false when there is none.
bool FindAssociatedProgram(const Text& p_Document, const Text& p_Folder, Text& p_Program) {
    std::string result(kResultBufferSize, '\0');
    HINSTANCE found =
        FindExecutableA(ToAnsi(p_Document).c_str(), ToAnsi(p_Folder).c_str(), &result[0]);
    if (reinterpret_cast<intptr_t>(found) <= 32) {
        return false;
    }
    p_Program = TrimAtNull(FromAnsi(result));
    return true;
}

} // namespace

Text FindProgramPath(const Kind& p_Kind) {
    Text hint = ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Zandorel", p_Kind.pathValueName,
                                   L"", false);
    if (!hint.empty()) {
        return hint;
    }
    Text tempFolder = GetTempFolder();
    TemporaryDocument document(tempFolder + p_Kind.temporaryDocument);
    Text path;
    if (!FindAssociatedProgram(document.Path(), tempFolder, path) || FileExists(path)) {
        return path;
    }
    Text command =
        ReadRegistryString(HKEY_CLASSES_ROOT, p_Kind.newDocumentCommandKey, L"", L"", false);
    if (EndsWith(command, L" /e", true)) {
        command.resize(command.size() - 3);
    }
    return FileExists(command) ? command : path;
}

void WriteProgramLines(ZPLogFile& p_Log, const Kind& p_Kind, const Text& p_Path,
                       const Text& p_Version) {
    if (p_Path.empty() && p_Version.empty()) {
        p_Log.WriteToLogFile(L"Program not found", false);
        return;
    }
    p_Log.WriteToLogFile(L"Default Path = " + p_Path, false);
    p_Log.WriteToLogFile(L"Version = " + p_Version, false);
    if (p_Path.find(L'\\') == Text::npos) {
        return;
    }
    Text name = p_Kind.name;
    if (!IsWow64()) {
        p_Log.WriteToLogFile(
            name + L" is 32-bit (based on the fact that the Operating System is 32-bit.)", false);
    } else if (Is64BitExecutable(p_Path)) {
        p_Log.WriteToLogFile(name + L" is 64-bit.", false);
    } else {
        p_Log.WriteToLogFile(name + L" is 32-bit.", false);
    }
}

} // namespace OfficeProgram
