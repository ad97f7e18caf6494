// A whole run on a 64-bit machine with Office 16, the suite and a handful of settings of every
// kind the inspection sections read, compared line by line with the expected log checked in
// beside this file. The sections of the runtime, component and Office information steps are
// cut out of the run's log by their headings, so that the comparison covers the inspection
// sections, their order among the steps, the preamble and the terminator block.
#include "golden/GoldenLog.h"
#include "run/Diagnostics.h"
#include "support/PeBuilder.h"
#include "support/SimMachineTest.h"

#include <ctime>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <sys/time.h>

namespace {

void SetModified(const std::string& p_HostPath, int p_Month, int p_Day, int p_Hour, int p_Minute) {
    tm local = {};
    local.tm_year = 2026 - 1900;
    local.tm_mon = p_Month - 1;
    local.tm_mday = p_Day;
    local.tm_hour = p_Hour;
    local.tm_min = p_Minute;
    local.tm_isdst = -1;
    timeval times[2] = {{mktime(&local), 0}, {mktime(&local), 0}};
    utimes(p_HostPath.c_str(), times);
}

} // namespace

class InspectionGoldenTest : public SimMachineTest {
protected:
    void TearDown() override {
        g_LogFile.reset();
        SimMachineTest::TearDown();
    }

    void SeedMachine() {
        sim::Machine& machine = Machine();
        machine.is64Bit = true;
        sim::Registry& r = machine.registry;

        // Windows, with the FIPS policy on.
        r.SetString(L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName",
                    L"Windows 10 Pro");
        r.SetString(L"HKLM\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion",
                    L"ProductName", L"Windows 10 Pro");
        r.SetDword(L"HKLM\\System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy",
                   L"Enabled", 1);
        MakeHostFolder("C:\\windows\\Microsoft.NET\\Framework\\v4.0.30319");
        WriteHostFile("C:\\windows\\Microsoft.NET\\Framework\\v4.0.30319\\mscorlib.dll", "MZ");
        MakeHostFolder("C:\\windows\\Microsoft.NET\\Framework64\\v4.0.30319");

        // The suite.
        const std::wstring suite = L"HKLM\\Software\\Wow6432Node\\Zandorel";
        r.SetString(suite, L"Main Directory", L"C:\\Program Files (x86)\\Zandorel\\MRL7\\");
        r.SetString(suite, L"System Directory", L"C:\\Program Files (x86)\\Zandorel\\System\\");
        r.SetString(L"HKCU\\Software\\Zandorel\\MRL7", L"LastRun", L"2026-12-01");
        r.SetDword(L"HKCU\\Software\\Zandorel\\MRL7", L"LoggingLevel", 0);
        MakeHostFolder("C:\\Program Files (x86)\\Zandorel\\MRL7\\Orvex");
        MakeHostFolder("C:\\Program Files (x86)\\Zandorel\\System");
        const std::string utility = "C:\\Program Files (x86)\\Zandorel\\MRL7\\ZanUtility7.dll";
        const std::string model = "C:\\Program Files (x86)\\Zandorel\\MRL7\\Orvex\\OrvexModel7.exe";
        WriteHostFile(utility, std::string(12345, 'u'));
        WriteHostFile(model, std::string(2048, 'm'));
        SetModified(HostPath(utility), 11, 3, 9, 15);
        SetModified(HostPath(model), 10, 20, 16, 40);

        // Regional settings and Excel's options, add-ins and disabled items.
        r.SetString(L"HKCU\\Control Panel\\International", L"Locale", L"00000409");
        r.SetString(L"HKCU\\Control Panel\\International", L"sShortDate", L"M/d/yyyy");
        const std::wstring options = L"HKCU\\Software\\Microsoft\\Office\\16.0\\Excel\\Options";
        r.SetString(options, L"OPEN",
                    L"/R \"C:\\Program Files (x86)\\Zandorel\\MRL7\\Orvex.xlam\"");
        r.SetDword(options, L"Options", 0x1e3);
        const std::wstring addin =
            L"HKCU\\Software\\Microsoft\\Office\\Excel\\Addins\\Orvex.Connect";
        r.SetString(addin, L"Description", L"ORVEX");
        r.SetDword(addin, L"LoadBehavior", 3);
        // Only in the native view, which the program does not read.
        r.SetDword(L"HKLM\\Software\\Microsoft\\Office\\Excel\\Addins\\Native.Connect",
                   L"LoadBehavior", 3);
        r.Key(L"HKCU\\Software\\Microsoft\\Office\\16.0\\Excel\\Resiliency\\DisabledItems")
            .SetValue(L"2F1A3B", REG_BINARY, std::string("\x01\x02\x03\x04", 4));

        // Excel 16, 64-bit, with a type library registration left over from Office 14.
        const std::string excel = "C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE";
        MakeHostFolder("C:\\Program Files\\Microsoft Office\\Root\\Office16");
        PeLayout excelImage;
        excelImage.machine = 0x8664;
        excelImage.fileVersionMS = 0x00100000;
        excelImage.fileVersionLS = 0x45e30000;
        WriteHostFile(excel, BuildPe(excelImage));
        const std::wstring typeLib =
            L"HKLM\\Software\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}";
        r.SetString(typeLib + L"\\1.8\\0\\win32", L"",
                    L"C:\\Program Files (x86)\\Microsoft Office\\Office14\\EXCEL.EXE");
        r.SetString(typeLib + L"\\1.9", L"", L"Microsoft Excel 16.0 Object Library");
        r.SetString(typeLib + L"\\1.9\\0\\win32", L"",
                    L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE");
        r.SetString(typeLib + L"\\1.9\\0\\win64", L"",
                    L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE");
        for (const wchar_t* guid : {L"{000208D5-0000-0000-C000-000000000046}",
                                    L"{000208DA-0000-0000-C000-000000000046}"}) {
            r.SetString(std::wstring(L"HKLM\\Software\\Classes\\Wow6432Node\\Interface\\") + guid +
                            L"\\TypeLib",
                        L"Version", L"1.9");
        }
        r.SetString(L"HKLM\\Software\\Classes\\Interface\\{000208D5-0000-0000-C000-000000000046}"
                    L"\\TypeLib",
                    L"Version", L"1.9");
        r.SetString(
            L"HKLM\\Software\\Classes\\TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\2.8", L"",
            L"Microsoft Office 16.0 Object Library");

        // Office security: policy and user values, trusted locations.
        r.SetDword(L"HKCU\\software\\policies\\microsoft\\office\\common\\security",
                   L"automationsecurity", 3);
        r.SetDword(L"HKCU\\software\\policies\\microsoft\\office\\16.0\\excel\\security",
                   L"vbawarnings", 4);
        const std::wstring excelSecurity =
            L"HKCU\\software\\microsoft\\office\\16.0\\excel\\security";
        r.SetDword(excelSecurity, L"vbawarnings", 2);
        r.SetDword(excelSecurity, L"disablealladdins", 0);
        const std::wstring location = excelSecurity + L"\\trusted locations\\Location0";
        r.SetString(location, L"Path", L"C:\\Users\\tester\\Documents\\Models\\");
        r.SetDword(location, L"AllowSubfolders", 1);
        r.SetString(location, L"Description", L"ORVEX models");
        r.SetDword(L"HKCU\\software\\microsoft\\office\\16.0\\ms project\\security", L"vbawarnings",
                   1);
        r.SetDword(L"HKCU\\software\\microsoft\\office\\15.0\\common\\toolbars\\excel",
                   L"NoExtensibilityCustomizationFromDocument", 1);
        const std::wstring policyLocation = L"HKCU\\software\\policies\\microsoft\\office\\16.0\\"
                                            L"common\\security\\trusted locations\\Location1";
        r.SetString(policyLocation, L"Path", L"\\\\fileserver\\models\\");
        r.SetDword(policyLocation, L"AllowSubfolders", 1);
    }
};

TEST_F(InspectionGoldenTest, SixtyFourBitMachineWithOffice16AndTheSuite) {
    SeedMachine();
    ASSERT_EQ(Diagnostics::RunDiagnostics(), L"");

    std::string log = ReadHostFile("C:\\users\\tester\\Temp\\Zanprobe7.txt");
    std::vector<std::string> actual = GoldenLog::SelectSections(
        GoldenLog::SplitLines(log, "\r\n"), GoldenLog::kComponentSections, false);
    // The free space of the drive is the host's.
    const std::regex freeSpace("^( +0 Dir\\(s\\)) +[0-9,]+ bytes free$");
    for (std::string& line : actual) {
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a line end without CR: " << line;
        line = std::regex_replace(line, freeSpace, "$1  <free> bytes free");
    }

    std::vector<std::string> expected = GoldenLog::ReadExpected("inspection-64bit.log");
    ASSERT_FALSE(expected.empty()) << "no expected log";

    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        ASSERT_EQ(actual[i], expected[i]) << "line " << i + 1 << " of the expected log";
    }
    EXPECT_EQ(actual.size(), expected.size());
}
