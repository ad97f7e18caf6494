#include "platform/processes.h"

#include "platform/error.h"
#include "platform/folders.h"
#include "platform/handles.h"
#include "platform/libraries.h"

#include <cstring>
#include <string>
#include <vector>

namespace Utilities {

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);

} // namespace

void RunCommandAndWait(const Text& p_Command) {
    std::string commandLine = ToAnsi(L"cmd /c \"" + p_Command + L"\"");
    // The system's command interpreter, named by its path and started in the system folder:
    // left to search, CreateProcessA would try the program's own folder and the current folder
    // first, and cmd looks for its commands (reg) in its current folder first, so a cmd.exe or
    // reg.bat planted beside a downloaded program would run.
    Text systemFolder = GetSystemFolder();
    if (systemFolder.empty()) {
        throw ZPError(53, L"File not found");
    }
    std::string folder = ToAnsi(systemFolder);
    std::string interpreter = folder + "\\cmd.exe";
    // The command's standard streams are the null device: a command that asks a question gets
    // the end of its input at once instead of waiting for an answer nobody can give. The handle
    // is inheritable, as handles passed to a child must be to mean anything in it.
    SECURITY_ATTRIBUTES inheritable;
    std::memset(&inheritable, 0, sizeof inheritable);
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    UniqueHandle nullDevice(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                        OPEN_EXISTING, 0, nullptr));
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
    if (!CreateProcessA(interpreter.c_str(), mutableLine.data(), nullptr, nullptr,
                        nullDevice.IsValid() ? TRUE : FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        throw ZPError(53, L"File not found");
    }
    // The child holds its own copy of the null device from here on.
    nullDevice.Reset();
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
    auto isWow64Process = Kernel32Function<IsWow64ProcessFunction>("IsWow64Process");
    if (isWow64Process == nullptr) {
        return false;
    }
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) != FALSE && wow64 != FALSE;
#endif
}

} // namespace Utilities
