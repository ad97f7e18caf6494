#include "platform/folders.h"

#include "platform/error.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/text.h"

#include <cstring>
#include <string>
#include <vector>

namespace Utilities {

namespace {

const UINT kWindowsFolderBuffer = 250;
const size_t kAppDataBuffer = 260;
const wchar_t kSuiteKey[] = L"Software\\Zandorel";

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);

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

bool FolderExists(const Text& p_Path) {
    if (p_Path.empty()) {
        return false;
    }
    if (GetFileAttributesA(ToAnsi(p_Path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return !FileExists(p_Path);
}

void SplitFilePath(const Text& p_Path, Text& p_Folder, Text& p_FileName) {
    p_Folder.clear();
    p_FileName.clear();
    Text path = Trim(p_Path);
    if (path.empty()) {
        return;
    }
    size_t slash = path.rfind(L'\\');
    if (slash == Text::npos || slash + 1 == path.size()) {
        return;
    }
    p_Folder = path.substr(0, slash);
    p_FileName = path.substr(slash + 1);
}

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

void RunCommandAndWait(const Text& p_Command) {
    std::string commandLine = ToAnsi(L"cmd /c \"" + p_Command + L"\"");
    // The command's standard streams are the null device: a command that asks a question gets
    // the end of its input at once instead of waiting for an answer nobody can give.
    UniqueHandle nullDevice(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    if (nullDevice.IsValid()) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = nullDevice.Get();
        startup.hStdOutput = nullDevice.Get();
        startup.hStdError = nullDevice.Get();
    }
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (!CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr,
                        nullDevice.IsValid() ? TRUE : FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw ZPError(53, L"File not found");
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    if (process.dwProcessId == 0) {
        return;
    }
    // Wait on the handle from the start itself: an identifier could already belong to another
    // process once a quick command has ended.
    WaitForSingleObject(processHandle.Get(), INFINITE);
}

HANDLE CreateNamedMutex(const Text& p_MutexName) {
    return CreateMutexA(nullptr, FALSE, ToAnsi(p_MutexName).c_str());
}

void CloseHandleIfOpen(HANDLE p_Handle) {
    if (p_Handle != nullptr) {
        CloseHandle(p_Handle);
    }
}

bool IsWow64() {
#if defined(_WIN64)
    // The 64-bit test build of the program stands in for the 32-bit program on 64-bit Windows,
    // where the 32-bit program runs under WOW64.
    return true;
#else
    HMODULE kernel = GetModuleHandleA("kernel32");
    FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "IsWow64Process") : nullptr;
    if (found == nullptr) {
        return false;
    }
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(found));
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
#endif
}

} // namespace Utilities
