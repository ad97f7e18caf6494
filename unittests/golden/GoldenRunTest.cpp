#include "golden/GoldenRunTest.h"

#include "golden/GoldenLog.h"
#include "platform/unicode.h"
#include "run/Diagnostics.h"

#include <ctime>
#include <regex>
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

void GoldenRunTest::TearDown() {
    g_LogFile.reset();
    SectionTest::TearDown();
}

void GoldenRunTest::SeedOfficeAndSettings() {
    sim::Machine& machine = Machine();
    machine.is64Bit = true;
    sim::Registry& r = machine.registry;

    // Windows, with the FIPS policy on.
    r.SetString(L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName",
                L"Windows 10 Pro");
    r.SetString(L"HKLM\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion",
                L"ProductName", L"Windows 10 Pro");
    r.SetDword(L"HKLM\\System\\CurrentControlSet\\Control\\Lsa\\FipsAlgorithmPolicy", L"Enabled",
               1);
    WriteHostFile("C:\\windows\\Microsoft.NET\\Framework\\v4.0.30319\\mscorlib.dll", "MZ");
    MakeHostFolder("C:\\windows\\Microsoft.NET\\Framework64\\v4.0.30319");

    // The suite.
    Given().Suite("C:\\Program Files (x86)\\Zandorel\\MRL7\\",
                  "C:\\Program Files (x86)\\Zandorel\\System\\");
    r.SetString(L"HKCU\\Software\\Zandorel\\MRL7", L"LastRun", L"2026-12-01");
    r.SetDword(L"HKCU\\Software\\Zandorel\\MRL7", L"LoggingLevel", 0);
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
    r.SetString(options, L"OPEN", L"/R \"C:\\Program Files (x86)\\Zandorel\\MRL7\\Orvex.xlam\"");
    r.SetDword(options, L"Options", 0x1e3);
    const std::wstring addin = L"HKCU\\Software\\Microsoft\\Office\\Excel\\Addins\\Orvex.Connect";
    r.SetString(addin, L"Description", L"ORVEX");
    r.SetDword(addin, L"LoadBehavior", 3);
    // Only in the native view, which the program does not read.
    r.SetDword(L"HKLM\\Software\\Microsoft\\Office\\Excel\\Addins\\Native.Connect", L"LoadBehavior",
               3);
    r.CreateKey(L"HKCU\\Software\\Microsoft\\Office\\16.0\\Excel\\Resiliency\\DisabledItems")
        .SetValue(L"2F1A3B", REG_BINARY, std::string("\x01\x02\x03\x04", 4));

    // Excel 16, 64-bit, with a type library registration left over from Office 14.
    Given().Executable("C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE", 0x8664,
                       "16.0.17891.0");
    const std::wstring typeLib =
        L"HKLM\\Software\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}";
    r.SetString(typeLib + L"\\1.8\\0\\win32", L"",
                L"C:\\Program Files (x86)\\Microsoft Office\\Office14\\EXCEL.EXE");
    r.SetString(typeLib + L"\\1.9", L"", L"Microsoft Excel 16.0 Object Library");
    r.SetString(typeLib + L"\\1.9\\0\\win32", L"",
                L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE");
    r.SetString(typeLib + L"\\1.9\\0\\win64", L"",
                L"C:\\Program Files\\Microsoft Office\\Root\\Office16\\EXCEL.EXE");
    for (const wchar_t* guid :
         {L"{000208D5-0000-0000-C000-000000000046}", L"{000208DA-0000-0000-C000-000000000046}"}) {
        r.SetString(std::wstring(L"HKLM\\Software\\Classes\\Wow6432Node\\Interface\\") + guid +
                        L"\\TypeLib",
                    L"Version", L"1.9");
    }
    r.SetString(L"HKLM\\Software\\Classes\\Interface\\{000208D5-0000-0000-C000-000000000046}"
                L"\\TypeLib",
                L"Version", L"1.9");
    r.SetString(L"HKLM\\Software\\Classes\\TypeLib\\{2DF8D04C-5BFA-101B-BDE5-00AA0044DE52}\\2.8",
                L"", L"Microsoft Office 16.0 Object Library");

    // Office security: policy and user values, trusted locations.
    r.SetDword(L"HKCU\\software\\policies\\microsoft\\office\\common\\security",
               L"automationsecurity", 3);
    r.SetDword(L"HKCU\\software\\policies\\microsoft\\office\\16.0\\excel\\security",
               L"vbawarnings", 4);
    const std::wstring excelSecurity = L"HKCU\\software\\microsoft\\office\\16.0\\excel\\security";
    r.SetDword(excelSecurity, L"vbawarnings", 2);
    r.SetDword(excelSecurity, L"disablealladdins", 0);
    const std::wstring location = excelSecurity + L"\\trusted locations\\Location0";
    r.SetString(location, L"Path", L"C:\\Users\\tester\\Documents\\Models\\");
    r.SetDword(location, L"AllowSubfolders", 1);
    r.SetString(location, L"Description", L"ORVEX models");
    r.SetDword(L"HKCU\\software\\microsoft\\office\\16.0\\ms project\\security", L"vbawarnings", 1);
    r.SetDword(L"HKCU\\software\\microsoft\\office\\15.0\\common\\toolbars\\excel",
               L"NoExtensibilityCustomizationFromDocument", 1);
    const std::wstring policyLocation = L"HKCU\\software\\policies\\microsoft\\office\\16.0\\"
                                        L"common\\security\\trusted locations\\Location1";
    r.SetString(policyLocation, L"Path", L"\\\\fileserver\\models\\");
    r.SetDword(policyLocation, L"AllowSubfolders", 1);
}

void GoldenRunTest::SeedRuntimesAndComponents(const std::string& p_OfficeFolder,
                                              uint16_t p_Machine) {
    sim::Machine& machine = Machine();
    sim::Registry& registry = machine.registry;
    machine.depSystemPolicy = 3;
    machine.depProcessFlags = 1;
    machine.appDataFolder = L"C:\\users\\tester\\AppData\\Roaming";

    WriteHostFile("C:\\windows\\SysWOW64\\msvbvm60.dll", "MZ");
    registry.SetString(L"HKCR\\TypeLib\\{000204EF-0000-0000-C000-000000000046}\\6.0\\9\\win32", L"",
                       L"C:\\windows\\SysWOW64\\msvbvm60.dll");
    registry.SetDword(SoftwareKey(L"Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\x86"),
                      L"Installed", 1);
    registry.SetDword(SoftwareKey(L"Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\x64"),
                      L"Installed", 1);

    MakeHostFolder("C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Excel\\XLSTART");
    const std::string project = p_OfficeFolder + "\\WINPROJ.EXE";
    Given().Excel(p_OfficeFolder, p_Machine).Executable(project, p_Machine);
    WriteHostFile(p_OfficeFolder + "\\XLSTART\\Zandorel.xlam", "x");
    registry.SetString(SoftwareKey(L"Zandorel"), L"Project Path", Utilities::FromUtf8(project));

    const std::string system = "C:\\Program Files (x86)\\Zandorel\\System";
    Given().Suite("", system).File(system + "\\ZanUtility7.dll");
    registry.SetString(SoftwareKey(L"Zandorel\\ORVEX for Excel\\7.0"), L"Program Directory",
                       L"C:\\Program Files (x86)\\Zandorel\\ORVEX");
    const std::pair<const wchar_t*, const wchar_t*> classes[] = {
        {L"ZanUtility7.ZanUtil", L"{6C1E0C11-7A2B-4C5D-9E01-000000000001}"},
        {L"ZanGraph7Server.ZGrGraph", L"{6C1E0C11-7A2B-4C5D-9E01-000000000002}"},
        {L"OrvexModel7.Server", L"{6C1E0C11-7A2B-4C5D-9E01-000000000003}"}};
    for (const auto& entry : classes) {
        Given().ComClass(entry.first, entry.second).methods[L"Initialize"];
    }
}

std::vector<std::string> GoldenRunTest::RunLog() {
    EXPECT_EQ(Diagnostics::RunDiagnostics(), L"");
    std::vector<std::string> lines = GoldenLog::SplitLines(Log(), "\r\n");
    // The free space of the drive is the host's.
    const std::regex freeSpace("^( +0 Dir\\(s\\)) +[0-9,]+ bytes free$");
    for (std::string& line : lines) {
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a line end without CR: " << line;
        line = std::regex_replace(line, freeSpace, "$1  <free> bytes free");
    }
    return lines;
}

void GoldenRunTest::ExpectLog(const std::vector<std::string>& p_Actual,
                              const std::string& p_Expected) {
    std::vector<std::string> expected = GoldenLog::ReadExpected(p_Expected);
    ASSERT_FALSE(expected.empty()) << "no expected log " << p_Expected;
    for (size_t i = 0; i < std::min(p_Actual.size(), expected.size()); ++i) {
        ASSERT_EQ(p_Actual[i], expected[i]) << "line " << i + 1 << " of " << p_Expected;
    }
    EXPECT_EQ(p_Actual.size(), expected.size()) << p_Expected;
}
