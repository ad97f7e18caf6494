// The Windows and suite environment sections.
#include "checks/system/WindowsEnvironment.h"
#include "support/SectionTest.h"

#include <unistd.h>

namespace {

const wchar_t kFips[] = L"HKLM\\System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy";
const std::string kFipsLine =
    "HKLM\\System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy Enabled Setting = ";
const std::string kFipsNote = "  - A non-zero value here was the source of a problem that has "
                              "been addressed since MRL 5.7.1\r\n";
const std::string kProgramPassed = "'C:\\Program' File Bug Test: Passed\r\n";

} // namespace

class WindowsEnvironmentTest : public SectionTest {};

TEST_F(WindowsEnvironmentTest, WindowsInformationOn64BitAnd32BitWindows) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion",
                         L"ProductName", L"Windows 10 Pro");
    WindowsEnvironment::ReportWindowsInformation();
    EXPECT_EQ(Log(), Heading("Windows OS Information") +
                         "Windows Version = Windows 10 Pro (64-bit)\r\n"
                         "Windows Directory = C:\\windows\r\n"
                         "Windows Temporary Directory = C:\\users\\tester\\Temp\r\n");

    Machine().is64Bit = false;
    EXPECT_NE(LogOf(WindowsEnvironment::ReportWindowsInformation)
                  .find("Windows Version = <UNKNOWN> (32-bit)\r\n"),
              std::string::npos);
}

TEST_F(WindowsEnvironmentTest, Windows11NamedByItsBuildNumber) {
    const wchar_t key[] = L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    struct Case {
        const wchar_t* name;
        const wchar_t* build;
        const char* line;
    };
    const Case cases[] = {
        {L"Windows 10 Pro", L"22621", "Windows Version = Windows 11 Pro (32-bit)\r\n"},
        {L"Windows 10 Enterprise", L"22000",
         "Windows Version = Windows 11 Enterprise (32-bit)\r\n"},
        {L"Windows 10 Pro", L"19045", "Windows Version = Windows 10 Pro (32-bit)\r\n"},
        {L"Windows 10 Pro", L"", "Windows Version = Windows 10 Pro (32-bit)\r\n"},
        {L"Windows 10 Pro", L"abc", "Windows Version = Windows 10 Pro (32-bit)\r\n"},
        {L"Windows Server 2022", L"20348", "Windows Version = Windows Server 2022 (32-bit)\r\n"},
        {L"Windows Server 2025", L"26100", "Windows Version = Windows Server 2025 (32-bit)\r\n"},
    };
    for (const Case& c : cases) {
        Registry().SetString(key, L"ProductName", c.name);
        Registry().SetString(key, L"CurrentBuildNumber", c.build);
        EXPECT_NE(LogOf(WindowsEnvironment::ReportWindowsInformation).find(c.line),
                  std::string::npos)
            << c.line;
    }
}

TEST_F(WindowsEnvironmentTest, StrayProgramFileButNotAFolder) {
    MakeHostFolder("C:\\Program");
    WindowsEnvironment::RunWindowsOSTests();
    EXPECT_EQ(Log(), Heading("Windows OS Tests") + kProgramPassed + kFipsLine + "0\r\n");

    rmdir(HostPath("C:\\Program").c_str());
    WriteHostFile("C:\\Program", "x");
    EXPECT_NE(LogOf(WindowsEnvironment::RunWindowsOSTests)
                  .find("'C:\\Program' File Bug Test: Failed\r\n"),
              std::string::npos);
}

TEST_F(WindowsEnvironmentTest, FipsPolicyInSignedDecimalWithItsNote) {
    Registry().SetDword(kFips, L"Enabled", 0xFFFFFFFF);
    WindowsEnvironment::RunWindowsOSTests();
    EXPECT_EQ(Log(),
              Heading("Windows OS Tests") + kProgramPassed + kFipsLine + "-1\r\n" + kFipsNote);

    Registry().SetDword(kFips, L"Enabled", 1);
    EXPECT_EQ(LogOf(WindowsEnvironment::RunWindowsOSTests),
              Heading("Windows OS Tests") + kProgramPassed + kFipsLine + "1\r\n" + kFipsNote);
}

TEST_F(WindowsEnvironmentTest, DotNetFrameworkStatuses) {
    const std::string heading = Heading(".NET 4.0 Framework x86") +
                                "Framework Directory = C:\\windows\\Microsoft.NET\\Framework\\"
                                "v4.0.30319\r\n";
    WindowsEnvironment::TestDotNet40Framework(false);
    EXPECT_EQ(Log(), heading + "Status: Directory does not exist.\r\n");

    MakeHostFolder("C:\\windows\\Microsoft.NET\\Framework\\v4.0.30319");
    EXPECT_EQ(LogOf(WindowsEnvironment::TestDotNet40FrameworkX86),
              heading + "Status: File mscorlib.dll not found.\r\n");

    WriteHostFile("C:\\windows\\Microsoft.NET\\Framework\\v4.0.30319\\mscorlib.dll", "MZ");
    EXPECT_EQ(LogOf(WindowsEnvironment::TestDotNet40FrameworkX86), heading + "Status: Passed\r\n");
}

TEST_F(WindowsEnvironmentTest, DotNetX64SectionOnlyOn64BitWindows) {
    WindowsEnvironment::TestDotNet40FrameworkX64OnWow64();
    EXPECT_EQ(Log(), "");

    Machine().is64Bit = true;
    Machine().windowsFolder = L"C:\\Windows";
    WindowsEnvironment::TestDotNet40FrameworkX64OnWow64();
    EXPECT_EQ(Log(), Heading(".NET 4.0 Framework x64") +
                         "Framework Directory = C:\\Windows\\Microsoft.NET\\Framework64\\"
                         "v4.0.30319\r\n"
                         "Status: Directory does not exist.\r\n");
}

TEST_F(WindowsEnvironmentTest, SuiteDirectories) {
    WindowsEnvironment::ReportSuiteDirectories();
    EXPECT_EQ(Log(), Heading("Zandorel Directory Locations") + "Program not found\r\n");

    Given().Suite("", "C:\\Zandorel\\System\\");
    EXPECT_EQ(LogOf(WindowsEnvironment::ReportSuiteDirectories),
              Heading("Zandorel Directory Locations") +
                  "Zandorel Main Directory = \r\n"
                  "Zandorel System Directory = C:\\Zandorel\\System\r\n");
}
