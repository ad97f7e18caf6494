// Processes, jobs and mutexes of the simulated machine. A process that the program starts is the
// command interpreter: it runs its command to the end inside CreateProcessA, and its handle is
// signalled from then on; one planted as never ending (kNeverEnds) is signalled only when it is
// terminated, itself or through its job. A wait for it that times out moves the machine's clock
// on by the time waited.
#include "sim/Ansi.h"
#include "sim/CommandInterpreter.h"
#include "sim/Errors.h"
#include "sim/Faults.h"
#include "sim/Handles.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

using namespace sim;

namespace {

const DWORD kCurrentProcessId = 4242;
const HANDLE kCurrentProcessHandle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// A process is its exit code (STILL_ACTIVE while it runs), shared by its handles and its job.
using Process = std::shared_ptr<DWORD>;

class ProcessObject : public KernelObject {
public:
    explicit ProcessObject(Process exitCode) : exitCode(std::move(exitCode)) {}
    Process exitCode;
};

void EndProcess(DWORD& processExitCode, DWORD exitCode) {
    if (processExitCode == STILL_ACTIVE) {
        processExitCode = exitCode;
    }
}

class JobObject : public KernelObject {
public:
    ~JobObject() override {
        for (const Process& process : processes) {
            if (killOnClose) {
                EndProcess(*process, 0);
            }
        }
    }
    std::vector<Process> processes;
    bool killOnClose = false;
};

class ThreadObject : public KernelObject {};

class MutexObject : public KernelObject {
public:
    explicit MutexObject(std::wstring name) : name(std::move(name)) {}
    std::wstring name;
};

DWORD NextProcessId() {
    static DWORD next = 5000;
    next += 4;
    return next;
}

bool IsCommandInterpreter(const std::wstring& program) {
    std::wstring upper = UpperName(program);
    size_t slash = upper.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? upper : upper.substr(slash + 1);
    return name == L"CMD" || name == L"CMD.EXE";
}

bool ReadLineFd(int fd, std::string& line) {
    line.clear();
    if (fd < 0) {
        return false;
    }
    char c;
    bool any = false;
    while (read(fd, &c, 1) == 1) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (c != '\r') {
            line += c;
        }
    }
    return any;
}

// Windows hands the child the handle values of STARTF_USESTDHANDLES as they are; they mean
// something in the child only when the handles are inheritable and the process is started with
// bInheritHandles. Where Windows gives the child meaningless values, the simulated machine
// refuses the start, so that such a call cannot pass the tests. A null handle (no stream) is
// allowed.
bool StandardHandlesReachChild(const STARTUPINFOA& startup, BOOL inheritHandles) {
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
        if (handle == nullptr) {
            continue;
        }
        KernelObject* object = FindHandle(handle);
        if (object == nullptr || !object->inheritable || inheritHandles == FALSE) {
            return false;
        }
    }
    return true;
}

} // namespace

BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL bInheritHandles, DWORD, LPVOID,
                           LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation) {
    if (lpProcessInformation == nullptr || lpStartupInfo == nullptr ||
        (lpApplicationName == nullptr && lpCommandLine == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    std::wstring commandLine =
        FromAnsiArgument(lpCommandLine != nullptr ? lpCommandLine : lpApplicationName);
    DWORD planted = PlantedFault("CreateProcessA", commandLine);
    if (planted != 0 && planted != kNeverEnds) {
        return Fail(planted, FALSE);
    }
    std::wstring rest;
    std::wstring program = ProgramOfCommandLine(commandLine, &rest);
    if (lpApplicationName != nullptr) {
        program = FromAnsiArgument(lpApplicationName);
    }
    if (!IsCommandInterpreter(program)) {
        // The simulated machine has no other programs.
        return Fail(ERROR_FILE_NOT_FOUND, FALSE);
    }

    bool useStdHandles = (lpStartupInfo->dwFlags & STARTF_USESTDHANDLES) != 0;
    if (useStdHandles && !StandardHandlesReachChild(*lpStartupInfo, bInheritHandles)) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    // The standard streams are files of the machine, or none (-1, where writes go nowhere).
    auto fileOf = [&](HANDLE handle) {
        return useStdHandles ? HandleObject<FileObject>(handle) : nullptr;
    };
    auto fdOf = [](FileObject* file) { return file != nullptr ? file->fd : -1; };
    FileObject* inputFile = fileOf(lpStartupInfo->hStdInput);
    int input = fdOf(inputFile);
    int output = fdOf(fileOf(lpStartupInfo->hStdOutput));
    int error = fdOf(fileOf(lpStartupInfo->hStdError));
    bool inputFromNullDevice = inputFile != nullptr && inputFile->isNullDevice;

    CommandStreams streams;
    streams.readLine = [input](std::string& line) { return ReadLineFd(input, line); };
    streams.writeOutput = [output](const std::string& text) {
        WriteAll(output, text.data(), text.size());
    };
    streams.writeError = [error](const std::string& text) {
        WriteAll(error, text.data(), text.size());
    };

    DWORD exitCode = planted == kNeverEnds ? STILL_ACTIVE : RunInterpreter(rest, streams);

    Machine& machine = CurrentMachine();
    int showWindow =
        (lpStartupInfo->dwFlags & STARTF_USESHOWWINDOW) != 0 ? lpStartupInfo->wShowWindow : -1;
    machine.startedProcesses.push_back(Machine::StartedProcess{
        commandLine, showWindow, inputFromNullDevice, exitCode,
        lpApplicationName != nullptr ? FromAnsiArgument(lpApplicationName) : L"",
        lpCurrentDirectory != nullptr ? FromAnsiArgument(lpCurrentDirectory) : L""});

    DWORD id = NextProcessId();
    lpProcessInformation->hProcess =
        AddHandle(std::make_unique<ProcessObject>(std::make_shared<DWORD>(exitCode)));
    lpProcessInformation->hThread = AddHandle(std::make_unique<ThreadObject>());
    lpProcessInformation->dwProcessId = id;
    lpProcessInformation->dwThreadId = id + 1;
    return TRUE;
}

// Only the program's own process is opened (a started one is reached through the handle its
// start gave).
HANDLE WINAPI OpenProcess(DWORD, BOOL, DWORD dwProcessId) {
    if (dwProcessId != kCurrentProcessId) {
        return Fail<HANDLE>(ERROR_INVALID_PARAMETER, nullptr);
    }
    return AddHandle(std::make_unique<ProcessObject>(std::make_shared<DWORD>(STILL_ACTIVE)));
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    KernelObject* object = FindHandle(hHandle);
    auto* process = dynamic_cast<ProcessObject*>(object);
    if (process != nullptr && *process->exitCode == STILL_ACTIVE) {
        if (dwMilliseconds == INFINITE) {
            // Windows would wait for ever; the test that got here fails instead of hanging.
            return Fail<DWORD>(ERROR_INVALID_HANDLE, WAIT_FAILED);
        }
        CurrentMachine().tickCount += dwMilliseconds;
        return WAIT_TIMEOUT;
    }
    if (process != nullptr || dynamic_cast<MutexObject*>(object) != nullptr ||
        dynamic_cast<ThreadObject*>(object) != nullptr) {
        return WAIT_OBJECT_0;
    }
    return Fail<DWORD>(ERROR_INVALID_HANDLE, WAIT_FAILED);
}

// The machine has no windows, so no message ever arrives: a wait for one object.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD nCount, const HANDLE* pHandles, BOOL,
                                       DWORD dwMilliseconds, DWORD) {
    if (nCount != 1 || pHandles == nullptr) {
        return Fail<DWORD>(ERROR_INVALID_PARAMETER, WAIT_FAILED);
    }
    return WaitForSingleObject(pHandles[0], dwMilliseconds);
}

DWORD WINAPI GetTickCount() {
    return CurrentMachine().tickCount;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    return HandleObject<ThreadObject>(hThread) != nullptr ? 1
                                                          : Fail<DWORD>(ERROR_INVALID_HANDLE, -1);
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode) {
    auto* process = HandleObject<ProcessObject>(hProcess);
    if (process == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    EndProcess(*process->exitCode, uExitCode);
    return TRUE;
}

HANDLE WINAPI CreateJobObjectA(LPSECURITY_ATTRIBUTES, LPCSTR) {
    return AddHandle(std::make_unique<JobObject>());
}

BOOL WINAPI SetInformationJobObject(HANDLE hJob, JOBOBJECTINFOCLASS infoClass, LPVOID info,
                                    DWORD size) {
    auto* job = HandleObject<JobObject>(hJob);
    if (job == nullptr || infoClass != JobObjectExtendedLimitInformation || info == nullptr ||
        size != sizeof(JOBOBJECT_EXTENDED_LIMIT_INFORMATION)) {
        return Fail(job == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER, FALSE);
    }
    auto* limits = static_cast<JOBOBJECT_EXTENDED_LIMIT_INFORMATION*>(info);
    job->killOnClose =
        (limits->BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE) != 0;
    return TRUE;
}

BOOL WINAPI AssignProcessToJobObject(HANDLE hJob, HANDLE hProcess) {
    auto* job = HandleObject<JobObject>(hJob);
    auto* process = HandleObject<ProcessObject>(hProcess);
    if (job == nullptr || process == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    job->processes.push_back(process->exitCode);
    return TRUE;
}

BOOL WINAPI TerminateJobObject(HANDLE hJob, UINT uExitCode) {
    auto* job = HandleObject<JobObject>(hJob);
    if (job == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    for (const Process& process : job->processes) {
        EndProcess(*process, uExitCode);
    }
    return TRUE;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    auto* process = HandleObject<ProcessObject>(hProcess);
    if (process == nullptr || lpExitCode == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    *lpExitCode = *process->exitCode;
    return TRUE;
}

HANDLE WINAPI GetCurrentProcess() {
    return kCurrentProcessHandle;
}

DWORD WINAPI GetCurrentProcessId() {
    return kCurrentProcessId;
}

BOOL WINAPI IsWow64Process(HANDLE, PBOOL Wow64Process) {
    if (Wow64Process == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    *Wow64Process = CurrentMachine().is64Bit ? TRUE : FALSE;
    return TRUE;
}

// A named mutex that another process holds, or this one, exists already; an unnamed one is new.
HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR lpName) {
    std::wstring name = FromAnsiArgument(lpName);
    const Machine& machine = CurrentMachine();
    auto named = [&](const std::vector<std::wstring>& names) {
        return !name.empty() && std::find(names.begin(), names.end(), name) != names.end();
    };
    if (named(machine.othersNonMutexObjects)) {
        return Fail<HANDLE>(ERROR_INVALID_HANDLE, nullptr);
    }
    bool exists = named(machine.othersMutexes);
    ForEachHandle([&](KernelObject& object) {
        auto* mutex = dynamic_cast<MutexObject*>(&object);
        exists = exists || (mutex != nullptr && !name.empty() && mutex->name == name);
    });
    HANDLE handle = AddHandle(std::make_unique<MutexObject>(name));
    SetLastError(exists ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    if (HandleObject<MutexObject>(hMutex) == nullptr) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    return TRUE;
}
