#include "platform/executables.h"

#include "platform/libraries.h"
#include "platform/text.h"
#include "winapi/winapi.h"

#include <cstring>
#include <string>
#include <vector>

namespace Utilities {

namespace {

using GetFileVersionInfoSizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using GetFileVersionInfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using VerQueryValueFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, UINT*);

} // namespace

Text GetFileVersionText(const Text& p_Path) {
    // version.dll is no known DLL: it is loaded from the system folder, never imported.
    SystemLibrary version("version.dll");
    auto getSize = version.Function<GetFileVersionInfoSizeFunction>("GetFileVersionInfoSizeA");
    auto getInfo = version.Function<GetFileVersionInfoFunction>("GetFileVersionInfoA");
    auto queryValue = version.Function<VerQueryValueFunction>("VerQueryValueA");
    if (getSize == nullptr || getInfo == nullptr || queryValue == nullptr) {
        return L"";
    }
    std::string path = ToAnsi(p_Path);
    DWORD ignored = 0;
    DWORD size = getSize(path.c_str(), &ignored);
    if (size == 0) {
        return L"";
    }
    std::vector<unsigned char> block(size, 0);
    if (!getInfo(path.c_str(), 0, size, block.data())) {
        return L"";
    }
    LPVOID fixedInfo = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!queryValue(block.data(), root, &fixedInfo, &length) || fixedInfo == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return L"";
    }
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixedInfo, sizeof info);
    return std::to_wstring(info.dwFileVersionMS >> 16) + L"." +
           std::to_wstring(info.dwFileVersionMS & 0xffff) + L"." +
           std::to_wstring(info.dwFileVersionLS >> 16) + L"." +
           std::to_wstring(info.dwFileVersionLS & 0xffff);
}

bool Is64BitExecutable(const Text& p_Path) {
    DWORD type = 0;
    return GetBinaryTypeA(ToAnsi(p_Path).c_str(), &type) != FALSE && type == SCS_64BIT_BINARY;
}

} // namespace Utilities
