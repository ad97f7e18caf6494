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

// The modules every Windows process has loaded, by upper-case name; the handle values only
// need to be distinct.
const std::map<std::wstring, intptr_t>& SystemModules() {
    static const std::map<std::wstring, intptr_t> modules = {
        {L"NTDLL.DLL", 0x7bc00000},  {L"KERNEL32.DLL", 0x7b400000}, {L"KERNELBASE.DLL", 0x7b000000},
        {L"USER32.DLL", 0x7e800000}, {L"SHELL32.DLL", 0x7e400000},  {L"ADVAPI32.DLL", 0x7e000000}};
    return modules;
}

const intptr_t kVersionModule = 0x7d000000;
const DWORD kSearchFlags = 0x00001F00; // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR ... DEFAULT_DIRS

bool Exports(const std::string& kernel32Function) {
    const std::vector<std::string>& missing = CurrentMachine().missingKernel32Functions;
    return std::find(missing.begin(), missing.end(), kernel32Function) == missing.end();
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
    std::wstring name = UpperName(FromAnsiArgument(lpModuleName));
    if (name.find(L'.') == std::wstring::npos) {
        name += L".DLL";
    }
    auto found = SystemModules().find(name);
    if (found == SystemModules().end()) {
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    }
    return reinterpret_cast<HMODULE>(found->second);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (hModule == nullptr || lpProcName == nullptr) {
        return Fail<FARPROC>(ERROR_INVALID_HANDLE, nullptr);
    }
    const std::string name = lpProcName;
    const intptr_t kernel32 = SystemModules().at(L"KERNEL32.DLL");
    if (reinterpret_cast<intptr_t>(hModule) == kernel32 && name == "IsWow64Process" &&
        CurrentMachine().hasIsWow64Process) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&IsWow64Process));
    }
    if (reinterpret_cast<intptr_t>(hModule) == kernel32) {
        // Functions that some Windows versions lack, unless this machine's version does.
        const std::map<std::string, void*> optional = {
            {"GetSystemDEPPolicy", reinterpret_cast<void*>(&GetSystemDEPPolicy)},
            {"GetProcessDEPPolicy", reinterpret_cast<void*>(&GetProcessDEPPolicy)},
            {"GetCurrentProcessId", reinterpret_cast<void*>(&GetCurrentProcessId)},
            {"OpenProcess", reinterpret_cast<void*>(&OpenProcess)},
            {"SetDefaultDllDirectories", reinterpret_cast<void*>(&SetDefaultDllDirectories)}};
        auto found = optional.find(name);
        if (found != optional.end() && Exports(name)) {
            return reinterpret_cast<FARPROC>(found->second);
        }
    }
    if (reinterpret_cast<intptr_t>(hModule) == kVersionModule) {
        const std::map<std::string, void*> version = {
            {"GetFileVersionInfoSizeA", reinterpret_cast<void*>(&GetFileVersionInfoSizeA)},
            {"GetFileVersionInfoA", reinterpret_cast<void*>(&GetFileVersionInfoA)},
            {"VerQueryValueA", reinterpret_cast<void*>(&VerQueryValueA)}};
        auto found = version.find(name);
        if (found != version.end()) {
            return reinterpret_cast<FARPROC>(found->second);
        }
    }
    return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
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
    if (name.find(L'.') == std::wstring::npos) {
        name += L".DLL";
    }
    if (name == L"VERSION.DLL") {
        return reinterpret_cast<HMODULE>(kVersionModule);
    }
    auto found = SystemModules().find(name);
    if (found == SystemModules().end()) {
        return Fail<HMODULE>(ERROR_MOD_NOT_FOUND, nullptr);
    }
    return reinterpret_cast<HMODULE>(found->second);
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
