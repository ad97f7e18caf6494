#include "sim/CommandInterpreter.h"
#include "support/SimMachineTest.h"

#include <cstdlib>
#include <ctime>
#include <sys/time.h>
#include <unistd.h>

using namespace sim;

namespace {

struct Captured {
    std::string output;
    std::string error;
    std::vector<std::string> input;
    CommandStreams Streams() {
        CommandStreams streams;
        streams.writeOutput = [this](const std::string& text) { output += text; };
        streams.writeError = [this](const std::string& text) { error += text; };
        streams.readLine = [this](std::string& line) {
            if (input.empty()) {
                return false;
            }
            line = input.front();
            input.erase(input.begin());
            return true;
        };
        return streams;
    }
};

} // namespace

class CommandInterpreterTest : public SimMachineTest {
protected:
    void SetUp() override {
        SimMachineTest::SetUp();
        const char* tz = std::getenv("TZ");
        m_SavedTz = tz != nullptr ? tz : "";
        m_HadTz = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (m_HadTz) {
            setenv("TZ", m_SavedTz.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        SimMachineTest::TearDown();
    }
    void WriteFileAt(const std::string& windowsPath, size_t size, time_t modified) {
        WriteHostFile(windowsPath, std::string(size, 'x'));
        timeval times[2] = {{modified, 0}, {modified, 0}};
        utimes(HostPath(windowsPath).c_str(), times);
    }
    DWORD Run(const std::wstring& command) {
        return RunInterpreter(L"/d /c " + command, captured.Streams());
    }

    Captured captured;
    std::string m_SavedTz;
    bool m_HadTz = false;
};

TEST(CommandQuotes, OuterPairRemovedByCmdRule) {
    EXPECT_EQ(StripOuterQuotes(L"\"dir /s \"C:\\a b\" >> \"C:\\log.txt\"\""),
              L"dir /s \"C:\\a b\" >> \"C:\\log.txt\"");
    EXPECT_EQ(StripOuterQuotes(L"\"type x\" tail"), L"type x tail");
    EXPECT_EQ(StripOuterQuotes(L"type \"x\""), L"type \"x\"");
    EXPECT_EQ(StripOuterQuotes(L"\"lonely"), L"lonely");
}

TEST(CommandQuotes, ProgramOfACommandLine) {
    const struct {
        const wchar_t* line;
        const wchar_t* program;
        const wchar_t* rest;
    } cases[] = {
        {L"  cmd /c dir", L"cmd", L" /c dir"},
        {L"\"C:\\Program Files\\a.exe\" \"%1\"", L"C:\\Program Files\\a.exe", L" \"%1\""},
        {L"\"C:\\open quote", L"C:\\open quote", L""},
        {L"alone", L"alone", L""},
        {L" ", L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring rest;
        EXPECT_EQ(ProgramOfCommandLine(c.line, &rest), c.program) << c.line;
        EXPECT_EQ(rest, c.rest) << c.line;
    }
}

TEST_F(CommandInterpreterTest, DirListsFilesOfTheWholeTreeInWindowsLayout) {
    const time_t march17 = 1552832820; // 2019-03-17 14:27 UTC
    const time_t june9 = 1654771140;   // 2022-06-09 10:39 UTC
    MakeHostFolder("C:\\test\\sub\\empty");
    WriteFileAt("C:\\test\\a.txt", 24, march17);
    WriteFileAt("C:\\test\\B.bin", 1966, june9);
    WriteFileAt("C:\\test\\.hidden", 1, march17);
    WriteFileAt("C:\\test\\sub\\c.lnk", 482, march17 - 60);
    Machine().volumeSerial = 0xE6110B66;

    ASSERT_EQ(Run(L"dir /s /a-d C:\\test\\"), 0u);
    const std::string& listing = captured.output;
    std::string head = " Volume in drive C has no label.\r\n"
                       " Volume Serial Number is E611-0B66\r\n"
                       "\r\n"
                       " Directory of C:\\test\r\n"
                       "\r\n"
                       "03/17/2019  02:27 PM                 1 .hidden\r\n"
                       "03/17/2019  02:27 PM                24 a.txt\r\n"
                       "06/09/2022  10:39 AM             1,966 B.bin\r\n"
                       "               3 File(s)          1,991 bytes\r\n"
                       "\r\n"
                       " Directory of C:\\test\\sub\r\n"
                       "\r\n"
                       "03/17/2019  02:26 PM               482 c.lnk\r\n"
                       "               1 File(s)            482 bytes\r\n"
                       "\r\n"
                       "     Total Files Listed:\r\n"
                       "               4 File(s)          2,473 bytes\r\n"
                       "               0 Dir(s) ";
    EXPECT_EQ(listing.substr(0, head.size()), head);
    EXPECT_EQ(listing.substr(listing.size() - 13), " bytes free\r\n");
    EXPECT_GE(listing.size() - head.size(), 15u + 13u);
}

TEST_F(CommandInterpreterTest, DirFollowsTheUsersDateFormat) {
    Machine().shortDatePicture = L"d.M.yy";
    Machine().longTimePicture = L"H:mm:ss";
    Machine().thousandSeparator = L".";
    MakeHostFolder("C:\\test");
    WriteFileAt("C:\\test\\a.txt", 1234567, 1552832820);
    ASSERT_EQ(Run(L"dir /a-d /s C:\\test"), 0u);
    EXPECT_NE(captured.output.find("17.03.2019  14:27         1.234.567 a.txt\r\n"),
              std::string::npos)
        << captured.output;
}

// A link back up the tree, as a Wine prefix's dosdevices hold, is not entered again.
TEST_F(CommandInterpreterTest, DirEntersAFolderOnlyOnce) {
    WriteHostFile("C:\\tree\\a.txt", "a");
    ASSERT_EQ(symlink(HostPath("C:\\tree").c_str(), HostPath("C:\\tree\\up").c_str()), 0);
    ASSERT_EQ(Run(L"dir /s /a-d C:\\tree"), 0u);
    EXPECT_NE(captured.output.find("Directory of C:\\tree\r\n"), std::string::npos);
    EXPECT_EQ(captured.output.find("Directory of C:\\tree\\up"), std::string::npos);
}

TEST_F(CommandInterpreterTest, DirWithoutFilesPrintsTheHeaderAndFails) {
    MakeHostFolder("C:\\empty\\sub");
    EXPECT_EQ(Run(L"dir /s /a-d \"C:\\empty\" >> \"C:\\log.txt\""), 1u);
    EXPECT_EQ(ReadHostFile("C:\\log.txt").substr(0, 17), " Volume in drive ");
    EXPECT_EQ(ReadHostFile("C:\\log.txt").find("Directory of"), std::string::npos);
    EXPECT_EQ(captured.error, "File Not Found\r\n");
    EXPECT_EQ(Run(L"dir /s /a-d \"C:\\missing\""), 1u);
}

// A console starts in the OEM code page; chcp changes it for the commands after it.
TEST_F(CommandInterpreterTest, TypeConvertsUtf16ToTheConsoleCodePage) {
    std::string utf16 = "\xff\xfe";
    for (wchar_t c : std::wstring(L"Caf\u00e9 \u4e2d\r\n")) {
        utf16 += static_cast<char>(c & 0xff);
        utf16 += static_cast<char>(c >> 8);
    }
    WriteHostFile("C:\\dump.txt", utf16);
    WriteHostFile("C:\\plain.txt", "raw\xe9\r\n");
    WriteHostFile("C:\\log.txt", "start\r\n");
    EXPECT_EQ(Run(L"type \"C:\\dump.txt\" >> \"C:\\log.txt\""), 0u);
    EXPECT_EQ(Run(L"chcp 1252 >nul && type \"C:\\dump.txt\" >> \"C:\\log.txt\""), 0u);
    EXPECT_EQ(Run(L"type C:\\plain.txt>>C:\\log.txt"), 0u);
    EXPECT_EQ(ReadHostFile("C:\\log.txt"), "start\r\nCaf\x82 ?\r\nCaf\xe9 ?\r\nraw\xe9\r\n");
    EXPECT_EQ(captured.error, "");
    EXPECT_EQ(Run(L"chcp"), 0u);
    EXPECT_EQ(captured.output, "Active code page: 437\r\n");
}

// "&" runs the next command in any case, "&&" after success, "||" after failure; an "&" in
// quotes is part of a name.
TEST_F(CommandInterpreterTest, JoinedCommands) {
    WriteHostFile("C:\\Zan & Co\\a.txt", "a");
    EXPECT_EQ(Run(L"chcp 99999 >nul && type \"C:\\Zan & Co\\a.txt\""), 1u);
    EXPECT_EQ(captured.error, "Invalid code page\r\n");
    EXPECT_EQ(captured.output, "");
    EXPECT_EQ(Run(L"chcp 99999 >nul & type \"C:\\Zan & Co\\a.txt\""), 0u);
    EXPECT_EQ(Run(L"chcp 99999 >nul || type \"C:\\Zan & Co\\a.txt\""), 0u);
    EXPECT_EQ(Run(L"chcp 850 >nul || type \"C:\\Zan & Co\\a.txt\""), 0u);
    EXPECT_EQ(captured.output, "aa");
}

// The user policies that stop the interpreter (DisableCMD 1 or 2) and reg (DisableRegistryTools)
// as they say so on Windows.
TEST_F(CommandInterpreterTest, PoliciesStopTheInterpreterAndReg) {
    Machine().registry.SetString(L"HKCU\\Software\\Zandorel", L"Name", L"value");
    const std::wstring exportCommand =
        L"/d /c \"reg export HKCU\\Software\\Zandorel C:\\dump.reg\"";
    EXPECT_EQ(RunInterpreter(exportCommand, captured.Streams()), 0u);
    Machine().registry.SetDword(
        L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
        L"DisableRegistryTools", 2);
    captured = Captured();
    EXPECT_EQ(RunInterpreter(exportCommand + L" /y", captured.Streams()), 1u);
    EXPECT_EQ(captured.error,
              "ERROR: Registry editing has been disabled by your administrator.\r\n");
    for (DWORD value : {1u, 2u}) {
        Machine().registry.SetDword(L"HKCU\\Software\\Policies\\Microsoft\\Windows\\System",
                                    L"DisableCMD", value);
        captured = Captured();
        WriteHostFile("C:\\a.txt", "a");
        EXPECT_EQ(RunInterpreter(L"/c type C:\\a.txt", captured.Streams()), 1u);
        EXPECT_EQ(captured.output, kCommandPromptDisabled);
    }
}

// The machine's AutoRun command, then the user's, run before the command unless /d is given.
TEST_F(CommandInterpreterTest, AutoRunCommandsRunFirstWithoutSlashD) {
    const std::wstring key = L"Software\\Microsoft\\Command Processor";
    Machine().registry.SetString(L"HKLM\\" + key, L"AutoRun", L"chcp 850");
    Machine().registry.SetString(L"HKCU\\" + key, L"AutoRun", L"chcp 1252 >nul");
    EXPECT_EQ(RunInterpreter(L"/c chcp", captured.Streams()), 0u);
    EXPECT_EQ(captured.output, "Active code page: 850\r\nActive code page: 1252\r\n");
    captured = Captured();
    EXPECT_EQ(RunInterpreter(L"/d /c chcp", captured.Streams()), 0u);
    EXPECT_EQ(captured.output, "Active code page: 437\r\n");
}

// Standard handles mean something in the child only when they are inheritable and inherited: a
// start that would hand the child meaningless values is refused.
TEST_F(CommandInterpreterTest, StandardHandlesReachTheCommandOnlyWhenInherited) {
    WriteHostFile("C:\\a.txt", "a");
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    for (bool inheritable : {false, true}) {
        for (BOOL inheritHandles : {FALSE, TRUE}) {
            HANDLE output =
                CreateFileA("C:\\out.txt", GENERIC_WRITE, 0, inheritable ? &inherit : nullptr,
                            CREATE_ALWAYS, 0, nullptr);
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdOutput = output;
            PROCESS_INFORMATION process{};
            char command[] = "cmd /d /c type C:\\a.txt";
            bool started = CreateProcessA(nullptr, command, nullptr, nullptr, inheritHandles, 0,
                                          nullptr, nullptr, &startup, &process) != FALSE;
            EXPECT_EQ(started, inheritable && inheritHandles);
            if (started) {
                CloseHandle(process.hProcess);
                CloseHandle(process.hThread);
            } else {
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
            }
            CloseHandle(output);
            EXPECT_EQ(ReadHostFile("C:\\out.txt"), started ? "a" : "");
        }
    }
}

TEST_F(CommandInterpreterTest, TypeOfAMissingFileFails) {
    EXPECT_EQ(Run(L"type \"C:\\missing.txt\" >> \"C:\\log.txt\""), 1u);
    EXPECT_EQ(captured.error, "The system cannot find the file specified.\r\n");
    EXPECT_EQ(ReadHostFile("C:\\log.txt"), "");
}

TEST_F(CommandInterpreterTest, RedirectionIntoAMissingFolderFails) {
    WriteHostFile("C:\\a.txt", "x");
    EXPECT_EQ(Run(L"type \"C:\\a.txt\" >> \"C:\\nowhere\\log.txt\""), 1u);
    EXPECT_EQ(captured.error, "The system cannot find the path specified.\r\n");
}

TEST_F(CommandInterpreterTest, OverwritingRedirection) {
    WriteHostFile("C:\\a.txt", "new");
    WriteHostFile("C:\\log.txt", "old");
    EXPECT_EQ(Run(L"type C:\\a.txt > C:\\log.txt"), 0u);
    EXPECT_EQ(ReadHostFile("C:\\log.txt"), "new");
}

TEST_F(CommandInterpreterTest, UnknownCommandsFailAsCmdDoes) {
    EXPECT_EQ(Run(L"format C:"), 9009u);
    EXPECT_EQ(captured.error, "'format' is not recognized as an internal or external "
                              "command,\r\noperable program or batch file.\r\n");
    EXPECT_EQ(Run(L""), 0u);
}
