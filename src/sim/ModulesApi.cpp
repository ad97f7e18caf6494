// The system modules of the simulated machine and the functions they export. A function that
// the machine does not export is missing, as it is on a Windows version that lacks it.
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
            {"OpenProcess", reinterpret_cast<void*>(&OpenProcess)}};
        const std::vector<std::string>& missing = CurrentMachine().missingKernel32Functions;
        auto found = optional.find(name);
        if (found != optional.end() &&
            std::find(missing.begin(), missing.end(), name) == missing.end()) {
            return reinterpret_cast<FARPROC>(found->second);
        }
    }
    return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
}
