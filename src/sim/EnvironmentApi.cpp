// The environment, the Windows folder and the shell folders of the simulated machine.
#include "sim/Ansi.h"
#include "sim/Environment.h"
#include "sim/Errors.h"
#include "sim/Machine.h"
#include "sim/Paths.h"
#include "winapi/winapi_testing.h"

#include <cstring>

using namespace sim;

namespace sim {

const std::wstring* FindVariable(const Environment& environment, const std::wstring& name) {
    for (const auto& variable : environment) {
        if (SameName(variable.first, name)) {
            return &variable.second;
        }
    }
    return nullptr;
}

void SetVariable(Environment& environment, const std::wstring& name, const std::wstring& value) {
    for (auto& variable : environment) {
        if (SameName(variable.first, name)) {
            variable.second = value;
            return;
        }
    }
    environment.emplace_back(name, value);
}

std::wstring ExpandVariables(const Environment& environment, const std::wstring& text) {
    std::wstring result;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find(L'%', i);
        size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            result += text.substr(i);
            break;
        }
        result += text.substr(i, open - i);
        const std::wstring* value =
            FindVariable(environment, text.substr(open + 1, close - open - 1));
        result += value != nullptr ? *value : text.substr(open, close - open + 1);
        i = close + 1;
    }
    return result;
}

} // namespace sim

DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) {
        return Fail<DWORD>(ERROR_INVALID_PARAMETER, 0);
    }
    std::string expanded =
        ToMachineAnsi(ExpandVariables(CurrentMachine().environment, FromAnsiArgument(lpSrc)));
    DWORD needed = static_cast<DWORD>(expanded.size()) + 1;
    if (lpDst != nullptr && nSize >= needed) {
        std::memcpy(lpDst, expanded.c_str(), needed);
    } else if (lpDst != nullptr && nSize > 0) {
        // Windows fills what fits, without a terminating NUL.
        std::memcpy(lpDst, expanded.data(), nSize);
    }
    return needed;
}

BOOL WINAPI SetEnvironmentVariableA(LPCSTR lpName, LPCSTR lpValue) {
    std::wstring name = FromAnsiArgument(lpName);
    if (name.empty() || name.find(L'=') != std::wstring::npos) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    auto& environment = CurrentMachine().environment;
    for (auto it = environment.begin(); it != environment.end(); ++it) {
        if (SameName(it->first, name)) {
            environment.erase(it);
            break;
        }
    }
    if (lpValue != nullptr) {
        environment.emplace_back(name, FromAnsiArgument(lpValue));
    }
    return TRUE;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) {
    std::string folder = ToMachineAnsi(CurrentMachine().windowsFolder);
    return CopyOut(folder, lpBuffer, uSize);
}

// The system folder of a 32-bit program: a 32-bit Windows' System32, and on 64-bit Windows the
// same name, which the file system shows to a WOW64 process as SysWOW64.
UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) {
    std::string folder = ToMachineAnsi(CurrentMachine().windowsFolder + L"\\system32");
    return CopyOut(folder, lpBuffer, uSize);
}

HRESULT WINAPI SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD dwFlags, LPSTR pszPath) {
    if (pszPath == nullptr || dwFlags != SHGFP_TYPE_CURRENT) {
        return E_INVALIDARG;
    }
    if (csidl != CSIDL_APPDATA || CurrentMachine().appDataFolder.empty()) {
        return E_FAIL;
    }
    std::string folder = ToMachineAnsi(CurrentMachine().appDataFolder);
    if (folder.size() >= MAX_PATH) {
        return E_FAIL;
    }
    std::memcpy(pszPath, folder.c_str(), folder.size() + 1);
    return S_OK;
}
