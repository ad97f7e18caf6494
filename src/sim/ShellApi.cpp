// The shell of the simulated machine: "open" hands a file to the desktop's opener, and
// FindExecutableA follows HKEY_CLASSES_ROOT from a document's extension to its ProgID and from
// there to the program of the "open" command.
#include "sim/Ansi.h"
#include "sim/CommandInterpreter.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace sim;

namespace {

// The shell's result codes: above 32 is success (33 is what FindExecutableA returns, on Wine
// too).
const intptr_t kShellOpened = 42;
const intptr_t kExecutableFound = 33;

HINSTANCE Result(intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// Starts the opener, found on PATH, detached (its own session, no terminal, not waited for), so
// that it can neither block the caller nor be left as a zombie; nothing happens without it.
void LaunchDetached(const char* program, const std::string& argument) {
    pid_t child = fork();
    if (child < 0) {
        return;
    }
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, 0);
                dup2(null, 1);
                dup2(null, 2);
            }
            execlp(program, program, argument.c_str(), static_cast<char*>(nullptr));
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

// The default value of a HKEY_CLASSES_ROOT key as text, environment references expanded; ""
// when the key or the value is missing.
std::wstring ClassesDefaultValue(const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ToMachineAnsi(subKey).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return L"";
    }
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    LSTATUS status =
        RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return L"";
    }
    std::wstring text = FromAnsiArgument(data);
    return type == REG_EXPAND_SZ ? ExpandVariables(CurrentMachine().environment, text) : text;
}

} // namespace

HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    std::wstring verb = FromAnsiArgument(lpOperation);
    if (!verb.empty() && verb != L"open") {
        return Result(SE_ERR_NOASSOC);
    }
    std::wstring file = FromAnsiArgument(lpFile);
    ResolvedPath resolved = ResolveWindowsPath(file);
    if (resolved.error != ERROR_SUCCESS || !resolved.exists) {
        return Result(SE_ERR_FNF);
    }
    Machine& machine = CurrentMachine();
    machine.openedDocuments.push_back(file);
    machine.apartmentCalls.push_back("ShellExecuteA");
    if (machine.launchViewer) {
        LaunchDetached("xdg-open", resolved.host);
    }
    return Result(kShellOpened);
}

HINSTANCE WINAPI FindExecutableA(LPCSTR lpFile, LPCSTR lpDirectory, LPSTR lpResult) {
    if (lpResult == nullptr) {
        return Result(SE_ERR_FNF);
    }
    lpResult[0] = '\0';
    std::wstring file = FromAnsiArgument(lpFile);
    std::wstring directory = FromAnsiArgument(lpDirectory);
    bool absolute = (file.size() >= 2 && file[1] == L':') || (!file.empty() && file[0] == L'\\');
    if (!absolute && !directory.empty()) {
        file = directory + (directory.back() == L'\\' ? L"" : L"\\") + file;
    }
    ResolvedPath document = ResolveWindowsPath(file);
    if (file.empty() || document.error != ERROR_SUCCESS || !document.exists) {
        return Result(SE_ERR_FNF);
    }
    size_t slash = file.find_last_of(L'\\');
    size_t dot = file.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        return Result(SE_ERR_NOASSOC);
    }
    std::wstring progId = ClassesDefaultValue(file.substr(dot));
    std::wstring program =
        progId.empty()
            ? L""
            : ProgramOfCommandLine(ClassesDefaultValue(progId + L"\\shell\\open\\command"));
    if (program.empty()) {
        return Result(SE_ERR_NOASSOC);
    }
    // The caller's buffer holds MAX_PATH characters.
    std::string result = ToMachineAnsi(program).substr(0, MAX_PATH - 1);
    std::memcpy(lpResult, result.c_str(), result.size() + 1);
    return Result(kExecutableFound);
}
