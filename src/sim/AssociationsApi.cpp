// File associations of the simulated machine: FindExecutableA follows HKEY_CLASSES_ROOT from a
// document's extension to its ProgID and from there to the program of the "open" command.
#include "sim/Ansi.h"
#include "sim/Errors.h"
#include "sim/Paths.h"

#include <cstring>
#include <string>

using namespace sim;

namespace {

// What FindExecutableA returns on success (Wine returns this value too).
const intptr_t kFound = 33;

HINSTANCE Result(intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

// The default value of a HKEY_CLASSES_ROOT key as text, environment references expanded; ""
// when the key or the value is missing.
std::string ClassesDefaultValue(const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "";
    }
    char data[2048] = {};
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    LSTATUS status =
        RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return "";
    }
    std::string text(data);
    if (type == REG_EXPAND_SZ) {
        char expanded[2048] = {};
        if (ExpandEnvironmentStringsA(text.c_str(), expanded, sizeof expanded) != 0) {
            text = expanded;
        }
    }
    return text;
}

// The program of a command line: the text inside leading quotes, else up to the first blank.
std::string ProgramOfCommand(const std::string& command) {
    size_t start = command.find_first_not_of(" \t");
    if (start == std::string::npos) {
        return "";
    }
    if (command[start] == '"') {
        size_t close = command.find('"', start + 1);
        return command.substr(start + 1,
                              close == std::string::npos ? std::string::npos : close - start - 1);
    }
    size_t end = command.find_first_of(" \t", start);
    return command.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool IsAbsolute(const std::wstring& path) {
    return (path.size() >= 2 && path[1] == L':') || (!path.empty() && path[0] == L'\\');
}

} // namespace

HINSTANCE WINAPI FindExecutableA(LPCSTR lpFile, LPCSTR lpDirectory, LPSTR lpResult) {
    if (lpResult == nullptr) {
        return Result(SE_ERR_FNF);
    }
    lpResult[0] = '\0';
    std::wstring file = FromAnsiArgument(lpFile);
    std::wstring directory = FromAnsiArgument(lpDirectory);
    if (!IsAbsolute(file) && !directory.empty()) {
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
    std::string progId = ClassesDefaultValue(ToMachineAnsi(file.substr(dot)));
    if (progId.empty()) {
        return Result(SE_ERR_NOASSOC);
    }
    std::string program = ProgramOfCommand(ClassesDefaultValue(progId + "\\shell\\open\\command"));
    if (program.empty()) {
        return Result(SE_ERR_NOASSOC);
    }
    // The caller's buffer holds MAX_PATH characters.
    program = program.substr(0, MAX_PATH - 1);
    std::memcpy(lpResult, program.c_str(), program.size() + 1);
    return Result(kFound);
}
