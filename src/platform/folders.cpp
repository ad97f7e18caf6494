#include "platform/folders.h"

#include "platform/registry.h"
#include "platform/text.h"

#include <string>
#include <vector>

namespace Utilities {

namespace {

const UINT kWindowsFolderBuffer = 250;
const size_t kAppDataBuffer = 260;
const wchar_t kSuiteKey[] = L"Software\\Zandorel";

Text ProductDirectory(const wchar_t* p_ValueName) {
    return RemoveTrailing(
        ReadRegistryString(HKEY_LOCAL_MACHINE, kSuiteKey, p_ValueName, L"", false), L"\\");
}

} // namespace

Text GetWindowsFolder() {
    std::string buffer(kWindowsFolderBuffer, '\0');
    GetWindowsDirectoryA(&buffer[0], kWindowsFolderBuffer);
    return RemoveTrailing(TrimAtNull(FromAnsi(buffer)), L"\\");
}

Text GetSystemFolder() {
    std::string buffer(MAX_PATH, '\0');
    UINT length = GetSystemDirectoryA(&buffer[0], MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return L"";
    }
    return RemoveTrailing(TrimAtNull(FromAnsi(buffer)), L"\\");
}

Text GetAppDataFolder() {
    std::string buffer(kAppDataBuffer, '\0');
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, &buffer[0]) != S_OK) {
        return L"";
    }
    return TrimAtNull(FromAnsi(buffer));
}

Text GetProductMainDirectory() {
    return ProductDirectory(L"Main Directory");
}

Text GetProductSystemDirectory() {
    return ProductDirectory(L"System Directory");
}

} // namespace Utilities
