// The system modules of the simulated machine and the functions they export. A function that
// the machine does not export is missing, as it is on a Windows version that lacks it. Besides
// the modules every process has loaded, LoadLibraryExA loads the system folder's version.dll;
// the machine has no other DLL files.
#include "sim/Ansi.h"
#include "sim/Errors.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace sim;

namespace {

const intptr_t kKernel32 = 0x7b400000;
const intptr_t kVersionModule = 0x7d000000;

// The modules every Windows process has loaded, by upper-case name; the handle values only
// need to be distinct.
const std::map<std::wstring, intptr_t>& SystemModules() {
    static const std::map<std::wstring, intptr_t> modules = {
        {L"NTDLL.DLL", 0x7bc00000},  {L"KERNEL32.DLL", kKernel32}, {L"KERNELBASE.DLL", 0x7b000000},
        {L"USER32.DLL", 0x7e800000}, {L"SHELL32.DLL", 0x7e400000}, {L"ADVAPI32.DLL", 0x7e000000}};
    return modules;
}

const DWORD kSearchFlags = 0x00001F00; // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR ... DEFAULT_DIRS

bool Exports(const std::string& kernel32Function) {
    const std::vector<std::string>& missing = CurrentMachine().missingKernel32Functions;
    return std::find(missing.begin(), missing.end(), kernel32Function) == missing.end();
}

// The module of an upper-case name (".DLL" added to a name without extension); loaded modules
// include version.dll.
HMODULE ModuleNamed(std::wstring name, bool loaded) {
    if (name.find(L'.') == std::wstring::npos) {
        name += L".DLL";
    }
    if (loaded && name == L"VERSION.DLL") {
        return reinterpret_cast<HMODULE>(kVersionModule);
    }
    auto found = SystemModules().find(name);
    if (found == SystemModules().end()) {
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    }
    return reinterpret_cast<HMODULE>(found->second);
}

BOOL WINAPI SetDefaultDllDirectories(DWORD DirectoryFlags) {
    if (DirectoryFlags == 0 || (DirectoryFlags & ~kSearchFlags) != 0) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    return TRUE;
}

} // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName == nullptr) {
        return reinterpret_cast<HMODULE>(static_cast<intptr_t>(0x400000));
    }
    return ModuleNamed(UpperName(FromAnsiArgument(lpModuleName)), false);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr) {
        return Fail<FARPROC>(ERROR_INVALID_HANDLE, nullptr);
    }
    // kernel32's functions that some Windows versions lack, and version.dll's.
    static const std::map<std::pair<intptr_t, std::string>, void*> exports = {
        {{kKernel32, "IsWow64Process"}, reinterpret_cast<void*>(&IsWow64Process)},
        {{kKernel32, "GetSystemDEPPolicy"}, reinterpret_cast<void*>(&GetSystemDEPPolicy)},
        {{kKernel32, "GetProcessDEPPolicy"}, reinterpret_cast<void*>(&GetProcessDEPPolicy)},
        {{kKernel32, "GetCurrentProcessId"}, reinterpret_cast<void*>(&GetCurrentProcessId)},
        {{kKernel32, "OpenProcess"}, reinterpret_cast<void*>(&OpenProcess)},
        {{kKernel32, "SetDefaultDllDirectories"},
         reinterpret_cast<void*>(&SetDefaultDllDirectories)},
        {{kVersionModule, "GetFileVersionInfoSizeA"},
         reinterpret_cast<void*>(&GetFileVersionInfoSizeA)},
        {{kVersionModule, "GetFileVersionInfoA"}, reinterpret_cast<void*>(&GetFileVersionInfoA)},
        {{kVersionModule, "VerQueryValueA"}, reinterpret_cast<void*>(&VerQueryValueA)}};
    auto found = exports.find({reinterpret_cast<intptr_t>(hModule), lpProcName});
    if (found == exports.end() || (found->first.first == kKernel32 && !Exports(lpProcName))) {
        return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
    }
    return reinterpret_cast<FARPROC>(found->second);
}

// A bare name is a system module; a path must lead into the system folder. The search flags
// exist where kernel32 exports SetDefaultDllDirectories (Windows 8, Windows 7 with its update);
// elsewhere LoadLibraryExA refuses them.
HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (lpLibFileName == nullptr || hFile != nullptr ||
        ((dwFlags & kSearchFlags) != 0 && !Exports("SetDefaultDllDirectories"))) {
        return Fail<HMODULE>(ERROR_INVALID_PARAMETER, nullptr);
    }
    std::wstring name = UpperName(FromAnsiArgument(lpLibFileName));
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) {
        std::wstring systemFolder = UpperName(CurrentMachine().windowsFolder + L"\\SYSTEM32");
        if (name.substr(0, slash) != systemFolder) {
            return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
        }
        name = name.substr(slash + 1);
    }
    return ModuleNamed(name, true);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    intptr_t module = reinterpret_cast<intptr_t>(hLibModule);
    for (const auto& entry : SystemModules()) {
        if (entry.second == module) {
            return TRUE;
        }
    }
    return module == kVersionModule ? TRUE : Fail(ERROR_INVALID_HANDLE, FALSE);
}
