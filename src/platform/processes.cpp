#include "platform/processes.h"

#include "platform/error.h"
#include "platform/folders.h"
#include "platform/handles.h"
#include "platform/libraries.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace Utilities {

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);

std::function<void()>& MessagePump() {
    static std::function<void()> pump;
    return pump;
}

// The system's text for a Windows error, without its line end; "Windows error N" when the
// system has none.
Text SystemErrorText(DWORD p_Error) {
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, p_Error, 0, buffer, sizeof buffer - 1, nullptr);
    Text text = FromAnsi(std::string(buffer, length));
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text.empty() ? L"Windows error " + std::to_wstring(p_Error) : text;
}

// A job that ends its processes when it is closed, so that nothing a command started outlives
// it; none where the process cannot be put in a job (Windows before 8 allows no job in a job).
UniqueHandle JobFor(HANDLE p_Process) {
    UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job.IsValid()) {
        return job;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
    std::memset(&limits, 0, sizeof limits);
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits) ||
        !AssignProcessToJobObject(job.Get(), p_Process)) {
        job.Reset();
    }
    return job;
}

// Waits for the process to end, at most p_Limit milliseconds; the thread's messages are handed
// to the pump as they arrive. True when it ended.
bool WaitHandlingMessages(HANDLE p_Process, DWORD p_Limit) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        DWORD remaining = elapsed >= p_Limit ? 0 : p_Limit - elapsed;
        if (!MessagePump()) {
            return WaitForSingleObject(p_Process, remaining) == WAIT_OBJECT_0;
        }
        DWORD woken = MsgWaitForMultipleObjects(1, &p_Process, FALSE, remaining, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken == WAIT_OBJECT_0 + 1) {
            MessagePump()();
        } else if (woken != WAIT_TIMEOUT) {
            return WaitForSingleObject(p_Process, remaining) == WAIT_OBJECT_0;
        } else if (remaining == 0) {
            return false;
        }
    }
}

} // namespace

void SetMessagePump(std::function<void()> p_Pump) {
    MessagePump() = std::move(p_Pump);
}

CommandOutcome RunCommandAndWait(const Text& p_Command) {
    // /d: the AutoRun commands of the registry (which may print, change the code page or wait)
    // do not run before the command.
    std::string commandLine = ToAnsi(L"cmd /d /c \"" + p_Command + L"\"");
    // The system's command interpreter, named by its path and started in the system folder:
    // left to search, CreateProcessA would try the program's own folder and the current folder
    // first, and cmd looks for its commands (reg) in its current folder first, so a cmd.exe or
    // reg.bat planted beside a downloaded program would run.
    Text systemFolder = GetSystemFolder();
    if (systemFolder.empty()) {
        throw ZPError(ERROR_PATH_NOT_FOUND, SystemErrorText(ERROR_PATH_NOT_FOUND));
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
    // Started suspended, so that it is in its job before it can start anything itself.
    if (!CreateProcessA(interpreter.c_str(), mutableLine.data(), nullptr, nullptr,
                        nullDevice.IsValid() ? TRUE : FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &process)) {
        // The reason as Windows gives it: application control refuses with 1260, which is no
        // missing file.
        DWORD error = GetLastError();
        throw ZPError(static_cast<long>(error), SystemErrorText(error));
    }
    // The child holds its own copy of the null device from here on.
    nullDevice.Reset();
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    UniqueHandle job = JobFor(processHandle.Get());
    ResumeThread(threadHandle.Get());
    CommandOutcome outcome;
    // Wait on the handle from the start itself: an identifier could already belong to another
    // process once a quick command has ended.
    if (!WaitHandlingMessages(processHandle.Get(), kCommandTimeLimit)) {
        outcome.timedOut = true;
        if (!job.IsValid() || !TerminateJobObject(job.Get(), WAIT_TIMEOUT)) {
            TerminateProcess(processHandle.Get(), WAIT_TIMEOUT);
        }
        WaitForSingleObject(processHandle.Get(), kCommandTimeLimit);
    }
    outcome.exitCode = STILL_ACTIVE;
    GetExitCodeProcess(processHandle.Get(), &outcome.exitCode);
    return outcome;
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
