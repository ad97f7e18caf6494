// The simulated Windows machine: the settings and state that the winapi functions read on
// systems other than Windows. Tests build machines in code; the program starts on the empty
// machine (or, later, one loaded from a Wine prefix).
#pragma once

#include "sim/Environment.h"
#include "sim/Faults.h"
#include "sim/Registry.h"
#include "winapi/winapi.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

class Machine {
public:
    // A machine with Z: mapped to the host's root and the host's temporary folder
    // (TMPDIR, else /tmp) as its temporary folder, seen through Z:.
    static std::unique_ptr<Machine> Empty();

    // Maps a drive letter (any case) to a host folder.
    void MapDrive(char letter, const std::string& hostFolder);
    // The host folder of a drive, or nothing when the letter is not mapped.
    std::optional<std::string> DriveRoot(wchar_t letter) const;

    // The ANSI code page that texts cross the seam in, and the OEM one, which a console (and
    // so the command interpreter's output) starts with.
    UINT codePage = 1252;
    UINT oemCodePage = 437;
    // 64-bit Windows (the program then runs as a WOW64 process) or 32-bit Windows.
    bool is64Bit = false;
    // The registry (its views follow is64Bit).
    Registry registry;
    // The user's environment variables, names compared without regard to case.
    Environment environment;
    // The Windows folder and the user's application-data folder, without trailing backslash.
    std::wstring windowsFolder = L"C:\\windows";
    std::wstring appDataFolder;
    // Named mutexes that other processes hold open.
    std::vector<std::wstring> othersMutexes;
    // Named kernel objects of other kinds (events, semaphores) that other processes hold open;
    // a mutex cannot be created under one of their names.
    std::vector<std::wstring> othersNonMutexObjects;
    // kernel32 functions that this Windows version lacks ("IsWow64Process" before XP SP2,
    // "GetSystemDEPPolicy", ...); a program that binds one through GetProcAddress does not
    // find it.
    std::vector<std::string> missingKernel32Functions;
    // Data Execution Prevention: the system policy (0 always off, 1 always on, 2 opt-in,
    // 3 opt-out), the program's process flags (1 enabled, 2 ATL thunk emulation disabled) and
    // whether they are permanent, and whether GetProcessDEPPolicy reports failure.
    DWORD depSystemPolicy = 2;
    DWORD depProcessFlags = 1;
    bool depProcessPermanent = false;
    bool depProcessQueryFails = false;
    // COM servers that run on this machine, by CLSID in braces (any letter case); see ComApi.cpp.
    // A ProgID reaches its class through HKEY_CLASSES_ROOT\<ProgID>\CLSID. A class missing here
    // but registered under HKEY_CLASSES_ROOT\CLSID with a server (a Windows program, which this
    // machine cannot run) fails to be created as such a server would.
    struct ComClass {
        // What CoCreateInstance returns for it; S_OK creates an object.
        HRESULT creationResult = S_OK;
        // The methods its objects answer to by name (any letter case), each with the exception
        // its call raises: none when the code is 0.
        struct Method {
            SCODE exception = 0;
            std::wstring description;
        };
        std::map<std::wstring, Method> methods;
        // The calls made on its objects, in order, with their arguments: Initialize(0),
        // Open("a", 2).
        std::vector<std::wstring> calls;
        // Its objects that are alive (created and not yet released).
        int liveObjects = 0;
    };
    std::map<std::wstring, ComClass> comClasses;
    // The program's COM apartment: CoInitializeEx with its flags, CoFreeUnusedLibraries and
    // CoUninitialize, in order, as tests inspect them; ShellExecuteA adds itself among them.
    std::vector<std::string> apartmentCalls;
    int apartmentDepth = 0;
    // The serial number of every drive's volume, as "dir" reports it.
    DWORD volumeSerial = 0x1C2D3E4F;
    // The user's thousands separator.
    std::wstring thousandSeparator = L",";

    // A process that CreateProcessA started, as tests inspect it.
    struct StartedProcess {
        std::wstring commandLine;
        // The show state asked for; -1 when the start-up information sets none.
        int showWindow;
        // Whether its standard input was the null device.
        bool inputFromNullDevice;
        DWORD exitCode;
        // The application and current folder named to CreateProcessA; empty when not named.
        std::wstring applicationName;
        std::wstring currentDirectory;
    };
    std::vector<StartedProcess> startedProcesses;
    // The temporary folder as GetTempPathW reports it, with its trailing backslash.
    std::wstring tempPath;
    // Drive letters (upper case) whose volumes keep no short (8.3) names, as NTFS with their
    // creation turned off and ReFS: GetShortPathName gives their paths in long form.
    std::wstring drivesWithoutShortNames;
    // The user's date and time pictures and the day-period designators.
    std::wstring shortDatePicture = L"M/d/yyyy";
    std::wstring longDatePicture = L"dddd, MMMM d, yyyy";
    std::wstring longTimePicture = L"h:mm:ss tt";
    std::wstring amDesignator = L"AM";
    std::wstring pmDesignator = L"PM";
    // Milliseconds since the machine started (GetTickCount): a wait that times out moves it on.
    DWORD tickCount = 0;
    // A fixed local time for GetLocalTime; the host's clock when unset.
    std::optional<SYSTEMTIME> fixedLocalTime;
    // The time the program has spent in Sleep, in milliseconds (nothing waits for it).
    DWORD sleptMilliseconds = 0;

    // Whether ShellExecuteA "open" hands the file to the desktop's opener. Off for machines
    // that tests build, so that no viewer pops up during a test run.
    bool launchViewer = true;
    // The Windows paths that ShellExecuteA was asked to open, in order.
    std::vector<std::wstring> openedDocuments;

    // Errors that functions return for given paths and keys (see Faults.h).
    std::vector<Fault> faults;

private:
    std::map<wchar_t, std::string> m_Drives;
};

// The machine that the winapi functions act on.
Machine& CurrentMachine();
// Makes a machine the current one; the previous one is released.
void InstallMachine(std::unique_ptr<Machine> machine);

} // namespace sim
