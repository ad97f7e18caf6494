#include "platform/executables.h"

#include "platform/text.h"
#include "winapi/winapi.h"

#include <cstring>
#include <string>
#include <vector>

namespace Utilities {

Text GetFileVersionText(const Text& p_Path) {
    std::string path = ToAnsi(p_Path);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return L"";
    }
    std::vector<unsigned char> block(size, 0);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return L"";
    }
    LPVOID fixedInfo = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!VerQueryValueA(block.data(), root, &fixedInfo, &length) || fixedInfo == nullptr ||
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
