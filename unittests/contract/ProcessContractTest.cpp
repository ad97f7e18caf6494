// Contract of the seam for the environment, the Windows folder, version resources, binary
// types, mutexes and the command interpreter.
#include "contract/ContractFolder.h"
#include "support/PeBuilder.h"
#include "winapi/winapi_testing.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::string Expand(const char* text) {
    char buffer[512] = {};
    DWORD needed = ExpandEnvironmentStringsA(text, buffer, sizeof buffer);
    EXPECT_EQ(needed, std::strlen(buffer) + 1);
    return buffer;
}

// Runs a command line and waits for it; returns the exit code.
DWORD RunAndWait(const std::string& commandLine) {
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return 0xffffffff;
    }
    EXPECT_EQ(WaitForSingleObject(process.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD exitCode = 0xffffffff;
    EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &exitCode));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

void WriteBytes(const ContractFolder& folder, const std::string& name, const std::string& bytes) {
    folder.CreateFileWith(name, bytes);
}

} // namespace

TEST(EnvironmentContract, ExpandsDefinedVariablesOnly) {
    ASSERT_TRUE(SetEnvironmentVariableA("ZANPROBE_CONTRACT", "C:\\Some Folder"));
    EXPECT_EQ(Expand("%zanprobe_contract%\\x"), "C:\\Some Folder\\x");
    EXPECT_EQ(Expand("%ZANPROBE_MISSING%\\x"), "%ZANPROBE_MISSING%\\x");
    EXPECT_EQ(Expand("100% sure"), "100% sure");
    EXPECT_EQ(Expand("%ZANPROBE_MISSING%ZANPROBE_CONTRACT%"),
              "%ZANPROBE_MISSING%ZANPROBE_CONTRACT%");
    EXPECT_EQ(Expand("%ZANPROBE_MISSING%%ZANPROBE_CONTRACT%"), "%ZANPROBE_MISSING%C:\\Some Folder");

    // Too small a buffer: the size needed, NUL included.
    char tiny[4] = {};
    EXPECT_EQ(ExpandEnvironmentStringsA("%ZANPROBE_CONTRACT%", tiny, sizeof tiny), 15u);
    ASSERT_TRUE(SetEnvironmentVariableA("ZANPROBE_CONTRACT", nullptr));
    EXPECT_EQ(Expand("%ZANPROBE_CONTRACT%"), "%ZANPROBE_CONTRACT%");
}

TEST(EnvironmentContract, WindowsFolderHasNoTrailingBackslash) {
    char folder[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    ASSERT_GT(length, 2u);
    EXPECT_EQ(length, std::strlen(folder));
    EXPECT_EQ(folder[1], ':');
    if (length > 3) {
        EXPECT_NE(folder[length - 1], '\\');
    }
    char tiny[2] = {};
    EXPECT_EQ(GetWindowsDirectoryA(tiny, 2), length + 1);
}

TEST(VersionContract, FileVersionFromTheResource) {
    ContractFolder folder;
    PeLayout layout;
    layout.fileVersionMS = (14u << 16) | 0;
    layout.fileVersionLS = (7015u << 16) | 1000;
    WriteBytes(folder, "versioned.exe", BuildPe(layout));
    std::string path = folder / "versioned.exe";

    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    LPVOID fixed = nullptr;
    UINT length = 0;
    char root[] = "\\";
    ASSERT_TRUE(VerQueryValueA(block.data(), root, &fixed, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, fixed, sizeof info);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwFileVersionMS, layout.fileVersionMS);
    EXPECT_EQ(info.dwFileVersionLS, layout.fileVersionLS);
}

TEST(VersionContract, NoVersionResource) {
    ContractFolder folder;
    PeLayout layout;
    layout.withVersion = false;
    WriteBytes(folder, "plain.exe", BuildPe(layout));
    folder.CreateFileWith("notes.txt", "just text");
    DWORD handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA((folder / "plain.exe").c_str(), &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA((folder / "notes.txt").c_str(), &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA((folder / "missing.exe").c_str(), &handle), 0u);
}

// version.dll is reached from the system folder, by the search flag or by its full path.
TEST(VersionContract, LoadedFromTheSystemFolder) {
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<UINT>(MAX_PATH));
    const std::string fullPath = std::string(folder) + "\\version.dll";
    for (HMODULE module :
         {LoadLibraryExA("version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
          LoadLibraryExA(fullPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)}) {
        ASSERT_NE(module, nullptr);
        for (const char* name :
             {"GetFileVersionInfoSizeA", "GetFileVersionInfoA", "VerQueryValueA"}) {
            EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
        }
        EXPECT_TRUE(FreeLibrary(module));
    }
    EXPECT_EQ(LoadLibraryExA("missing-library.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32),
              nullptr);
}

TEST(BinaryTypeContract, MachineOfTheImage) {
    ContractFolder folder;
    PeLayout x86;
    PeLayout x64;
    x64.machine = 0x8664;
    PeLayout dll;
    dll.dll = true;
    WriteBytes(folder, "x86.exe", BuildPe(x86));
    WriteBytes(folder, "x64.exe", BuildPe(x64));
    WriteBytes(folder, "library.dll", BuildPe(dll));
    folder.CreateFileWith("notes.txt", "just text");

    DWORD type = 99;
    ASSERT_TRUE(GetBinaryTypeA((folder / "x86.exe").c_str(), &type));
    EXPECT_EQ(type, static_cast<DWORD>(SCS_32BIT_BINARY));
    ASSERT_TRUE(GetBinaryTypeA((folder / "x64.exe").c_str(), &type));
    EXPECT_EQ(type, static_cast<DWORD>(SCS_64BIT_BINARY));
    EXPECT_FALSE(GetBinaryTypeA((folder / "notes.txt").c_str(), &type));
    EXPECT_FALSE(GetBinaryTypeA((folder / "missing.exe").c_str(), &type));
    // Windows refuses DLLs; Wine reports their machine like an executable's.
    if (!RunsUnderWine()) {
        EXPECT_FALSE(GetBinaryTypeA((folder / "library.dll").c_str(), &type));
    }
}

TEST(MutexContract, SecondCreationOpensTheSameMutex) {
    HANDLE first = CreateMutexA(nullptr, FALSE, "ZanprobeContractMutex");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateMutexA(nullptr, FALSE, "ZanprobeContractMutex");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(WaitForSingleObject(second, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(second));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(first));
    HANDLE again = CreateMutexA(nullptr, FALSE, "ZanprobeContractMutex");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(again);
}

TEST(ProcessContract, Wow64QueryOfTheCurrentProcess) {
    BOOL wow64 = 7;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_TRUE(wow64 == TRUE || wow64 == FALSE);
    HMODULE kernel = GetModuleHandleA("kernel32");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(GetProcAddress(kernel, "NoSuchFunctionAnywhere"), nullptr);
}

TEST(CommandContract, QuotedCommandWithRedirectionRunsToTheEnd) {
    ContractFolder folder;
    folder.CreateFileWith("source file.txt", "line one\r\nline two\r\n");
    folder.CreateFileWith("log file.txt", "before\r\n");
    // cmd removes the outer pair of quotes, so the command keeps its quoted arguments.
    std::string command = "cmd /c \"type \"" + (folder / "source file.txt") + "\" >> \"" +
                          (folder / "log file.txt") + "\"\"";
    EXPECT_EQ(RunAndWait(command), 0u);
    EXPECT_EQ(folder.ReadAll("log file.txt"), "before\r\nline one\r\nline two\r\n");
}

TEST(CommandContract, FailuresGiveNonZeroExitCodes) {
    ContractFolder folder;
    EXPECT_NE(RunAndWait("cmd /c \"type \"" + (folder / "missing.txt") + "\" >> \"" +
                         (folder / "log.txt") + "\"\""),
              0u);
    EXPECT_NE(RunAndWait("cmd /c \"zanprobe-no-such-command\""), 0u);
    // The redirection target is created even when the command fails.
    EXPECT_EQ(GetFileAttributesA((folder / "log.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(CommandContract, StartingAMissingProgramFails) {
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    char line[] = "zanprobe-no-such-program.exe /x";
    EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                &startup, &process));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
