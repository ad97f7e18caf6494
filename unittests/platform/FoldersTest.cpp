#include "platform/folders.h"
#include "platform/error.h"
#include "platform/executables.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "support/PeBuilder.h"
#include "support/SimMachineTest.h"

using namespace Utilities;

class FoldersTest : public SimMachineTest {};

TEST_F(FoldersTest, WindowsFolderWithoutTrailingBackslash) {
    Machine().windowsFolder = L"C:\\windows";
    EXPECT_EQ(GetWindowsFolder(), L"C:\\windows");
    Machine().windowsFolder = L"C:\\";
    EXPECT_EQ(GetWindowsFolder(), L"C:");
    // A folder longer than the buffer gives nothing.
    Machine().windowsFolder = L"C:\\" + std::wstring(300, L'w');
    EXPECT_EQ(GetWindowsFolder(), L"");
}

TEST_F(FoldersTest, AppDataFolderAsWindowsReportsIt) {
    Machine().appDataFolder = L"";
    EXPECT_EQ(GetAppDataFolder(), L"");
    Machine().appDataFolder = L"C:\\users\\tester\\AppData\\Roaming\\";
    EXPECT_EQ(GetAppDataFolder(), L"C:\\users\\tester\\AppData\\Roaming\\");
}

TEST_F(FoldersTest, FolderExists) {
    MakeHostFolder("C:\\data\\sub");
    WriteHostFile("C:\\data\\file.txt", "x");
    Given().File("C:\\data\\hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(FolderExists(L"C:\\data\\sub"));
    EXPECT_TRUE(FolderExists(L"C:\\data\\sub\\"));
    EXPECT_TRUE(FolderExists(L"c:\\DATA"));
    EXPECT_FALSE(FolderExists(L"C:\\data\\file.txt"));
    EXPECT_TRUE(FolderExists(L"C:\\data\\hidden.txt"));
    EXPECT_FALSE(FolderExists(L"C:\\data\\missing"));
    EXPECT_FALSE(FolderExists(L""));
}

TEST_F(FoldersTest, SplitFilePath) {
    Text folder = L"x";
    Text name = L"y";
    SplitFilePath(L"C:\\a\\b.xls", folder, name);
    EXPECT_EQ(folder, L"C:\\a");
    EXPECT_EQ(name, L"b.xls");
    SplitFilePath(L"  C:\\b.xls ", folder, name);
    EXPECT_EQ(folder, L"C:");
    EXPECT_EQ(name, L"b.xls");
    SplitFilePath(L"b.xls", folder, name);
    EXPECT_EQ(folder + name, L"");
    folder = L"x";
    SplitFilePath(L"C:\\a\\", folder, name);
    EXPECT_EQ(folder + name, L"");
    folder = L"x";
    SplitFilePath(L"   ", folder, name);
    EXPECT_EQ(folder + name, L"");
}

TEST_F(FoldersTest, FileVersionText) {
    Given().Executable("C:\\a.exe", 0x14c, "1.0.40000.0");
    EXPECT_EQ(GetFileVersionText(L"C:\\a.exe"), L"1.0.40000.0");
    Given().Executable("C:\\b.dll", 0x14c, "65535.14.7015.5000");
    EXPECT_EQ(GetFileVersionText(L"C:\\b.dll"), L"65535.14.7015.5000");

    PeLayout layout;
    layout.withVersion = false;
    WriteHostFile("C:\\plain.exe", BuildPe(layout));
    EXPECT_EQ(GetFileVersionText(L"C:\\plain.exe"), L"");
    WriteHostFile("C:\\notes.txt", "MZ but nothing more");
    EXPECT_EQ(GetFileVersionText(L"C:\\notes.txt"), L"");
    EXPECT_EQ(GetFileVersionText(L"C:\\missing.exe"), L"");
    EXPECT_EQ(GetFileVersionText(L""), L"");
    // Where LoadLibraryExA lacks the system-folder search flag, version.dll is named by its
    // path in the system folder.
    Machine().missingKernel32Functions = {"SetDefaultDllDirectories"};
    EXPECT_EQ(GetFileVersionText(L"C:\\a.exe"), L"1.0.40000.0");
}

TEST_F(FoldersTest, TruncatedExecutableHasNoVersion) {
    std::string image = BuildPe(PeLayout());
    for (size_t size :
         {size_t(2), size_t(0x40), size_t(0x100), size_t(0x220), size_t(0x200 + 100)}) {
        WriteHostFile("C:\\cut.exe", image.substr(0, size));
        EXPECT_EQ(GetFileVersionText(L"C:\\cut.exe"), L"") << size;
    }
}

TEST_F(FoldersTest, SixtyFourBitExecutables) {
    PeLayout dll64;
    dll64.machine = 0x8664;
    dll64.dll = true;
    Given().Executable("C:\\x86.exe", 0x14c).Executable("C:\\x64.exe", 0x8664);
    WriteHostFile("C:\\x64.dll", BuildPe(dll64));
    WriteHostFile("C:\\text.exe", "hello");
    EXPECT_FALSE(Is64BitExecutable(L"C:\\x86.exe"));
    EXPECT_TRUE(Is64BitExecutable(L"C:\\x64.exe"));
    EXPECT_FALSE(Is64BitExecutable(L"C:\\x64.dll"));
    EXPECT_FALSE(Is64BitExecutable(L"C:\\text.exe"));
    EXPECT_FALSE(Is64BitExecutable(L"C:\\missing.exe"));
}

// The system's cmd.exe by its path, started in the system folder, its standard streams the
// null device through an inheritable handle (the simulated machine refuses any other).
TEST_F(FoldersTest, RunCommandAndWaitQuotesTheCommandAndFeedsNoInput) {
    WriteHostFile("C:\\Program Files\\Zandorel\\a.txt", "12345");
    WriteHostFile("C:\\users\\tester\\Temp\\log.txt", "");
    RunCommandAndWait(
        L"dir /s /a-d \"C:\\Program Files\\Zandorel\" >> \"C:\\users\\tester\\Temp\\log.txt\"");
    ASSERT_EQ(Machine().startedProcesses.size(), 1u);
    const auto& started = Machine().startedProcesses[0];
    EXPECT_EQ(started.commandLine, L"cmd /d /c \"dir /s /a-d \"C:\\Program Files\\Zandorel\" >> "
                                   L"\"C:\\users\\tester\\Temp\\log.txt\"\"");
    EXPECT_EQ(started.applicationName, Machine().windowsFolder + L"\\system32\\cmd.exe");
    EXPECT_EQ(started.currentDirectory, Machine().windowsFolder + L"\\system32");
    EXPECT_EQ(started.showWindow, SW_SHOWMINIMIZED);
    EXPECT_TRUE(started.inputFromNullDevice);
    EXPECT_EQ(started.exitCode, 0u);
    // By the time it returns, the listing is in the log.
    EXPECT_NE(ReadHostFile("C:\\users\\tester\\Temp\\log.txt").find("1 File(s)"),
              std::string::npos);
}

// The AutoRun commands of the registry, which run before every command of an interpreter
// started without /d, do not run.
TEST_F(FoldersTest, RunCommandAndWaitRunsNoAutoRunCommand) {
    WriteHostFile("C:\\banner.txt", "Welcome");
    for (const wchar_t* root : {L"HKLM", L"HKCU"}) {
        Machine().registry.SetString(std::wstring(root) +
                                         L"\\Software\\Microsoft\\Command Processor",
                                     L"AutoRun", L"type C:\\banner.txt >> C:\\autorun.txt");
    }
    Utilities::CommandOutcome outcome = RunCommandAndWait(L"chcp");
    EXPECT_EQ(outcome.exitCode, 0u);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_FALSE(HostFileExists("C:\\autorun.txt"));
}

TEST_F(FoldersTest, NamedMutexes) {
    Machine().othersMutexes.push_back(L"Held");
    HANDLE mine = CreateNamedMutex(L"Mine");
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE held = CreateNamedMutex(L"Held");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    CloseHandleIfOpen(mine);
    CloseHandleIfOpen(held);
    EXPECT_FALSE(CloseHandle(mine));
    CloseHandleIfOpen(nullptr);
}

TEST_F(FoldersTest, Wow64FollowsTheMachine) {
    Machine().is64Bit = false;
    EXPECT_FALSE(IsWow64());
    Machine().is64Bit = true;
    EXPECT_TRUE(IsWow64());
    Machine().missingKernel32Functions = {"IsWow64Process"};
    EXPECT_FALSE(IsWow64());
}

TEST_F(FoldersTest, ProductDirectoriesFromTheProgramsView) {
    EXPECT_EQ(GetProductMainDirectory(), L"");
    Given().Suite("C:\\Program Files\\Zandorel\\", "C:\\Zandorel\\System");
    EXPECT_EQ(GetProductMainDirectory(), L"C:\\Program Files\\Zandorel");
    EXPECT_EQ(GetProductSystemDirectory(), L"C:\\Zandorel\\System");

    // On 64-bit Windows the 32-bit side of the registry counts, not the native one.
    Machine().is64Bit = true;
    EXPECT_EQ(GetProductMainDirectory(), L"");
    Given().Suite("C:\\Program Files (x86)\\Zandorel", "");
    EXPECT_EQ(GetProductMainDirectory(), L"C:\\Program Files (x86)\\Zandorel");
    EXPECT_EQ(GetProductSystemDirectory(), L"");
}

TEST_F(FoldersTest, ACommandThatAsksAQuestionGetsNoAnswerAndEnds) {
    Machine().registry.SetString(L"HKCU\\Software\\Zandorel", L"Name", L"value");
    WriteHostFile("C:\\users\\tester\\Temp\\dump.txt", "left over");
    RunCommandAndWait(L"reg export \"HKEY_CURRENT_USER\\Software\\Zandorel\" "
                      L"\"C:\\users\\tester\\Temp\\dump.txt\"");
    ASSERT_EQ(Machine().startedProcesses.size(), 1u);
    EXPECT_EQ(Machine().startedProcesses[0].exitCode, 1u);
    EXPECT_EQ(ReadHostFile("C:\\users\\tester\\Temp\\dump.txt"), "left over");

    RunCommandAndWait(L"reg export \"HKEY_CURRENT_USER\\Software\\Zandorel\" "
                      L"\"C:\\users\\tester\\Temp\\fresh.txt\"");
    EXPECT_EQ(Machine().startedProcesses[1].exitCode, 0u);
    EXPECT_EQ(ReadHostFile("C:\\users\\tester\\Temp\\fresh.txt").substr(0, 4),
              std::string("\xff\xfeW\0", 4));
}
