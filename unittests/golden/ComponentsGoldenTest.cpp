// Whole runs compared, for the runtime, DEP, Office information, component and ORVEX steps,
// with the expected logs beside this file: a 64-bit machine with Excel, Project, the suite and
// ORVEX installed, and a minimal 32-bit machine with nothing installed. The inspection sections
// are cut out of the log (their own golden test covers them); what stays shows these sections
// and their order among the steps.
#include "golden/GoldenLog.h"
#include "run/Diagnostics.h"
#include "support/SectionTest.h"

#include <fstream>
#include <set>
#include <sstream>

namespace {

const wchar_t kOffice[] = L"C:\\Program Files\\Microsoft Office\\root\\Office16";

} // namespace

class ComponentsGoldenTest : public SectionTest {
protected:
    void TearDown() override {
        g_LogFile.reset();
        SectionTest::TearDown();
    }
    std::vector<std::string> RunLog() {
        EXPECT_EQ(Diagnostics::RunDiagnostics(), L"");
        return GoldenLog::SelectSections(GoldenLog::SplitLines(Log(), "\r\n"),
                                         GoldenLog::kComponentSections, true);
    }
};

TEST_F(ComponentsGoldenTest, SixtyFourBitMachineWithEverythingInstalled) {
    sim::Machine& machine = Machine();
    sim::Registry& registry = machine.registry;
    machine.is64Bit = true;
    machine.depSystemPolicy = 3;
    machine.depProcessFlags = 1;
    machine.appDataFolder = L"C:\\users\\tester\\AppData\\Roaming";

    MakeHostFolder("C:\\windows\\SysWOW64");
    WriteHostFile("C:\\windows\\SysWOW64\\msvbvm60.dll", "MZ");
    registry.SetString(L"HKCR\\TypeLib\\{000204EF-0000-0000-C000-000000000046}\\6.0\\9\\win32", L"",
                       L"C:\\windows\\SysWOW64\\msvbvm60.dll");
    registry.SetDword(SoftwareKey(L"Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\x86"),
                      L"Installed", 1);
    registry.SetDword(SoftwareKey(L"Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\x64"),
                      L"Installed", 1);

    const std::string office = "C:\\Program Files\\Microsoft Office\\root\\Office16";
    MakeHostFolder(office + "\\XLSTART");
    MakeHostFolder("C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Excel\\XLSTART");
    WriteExecutable(office + "\\EXCEL.EXE", 0x8664, 16u << 16, (4266u << 16) | 1001u);
    WriteExecutable(office + "\\WINPROJ.EXE", 0x8664, 16u << 16, (4266u << 16) | 1001u);
    WriteHostFile(office + "\\XLSTART\\Zandorel.xlam", "x");
    Associate(L".xls", L"Excel.Sheet.8", L"\"" + std::wstring(kOffice) + L"\\EXCEL.EXE\" \"%1\"");
    registry.SetString(SoftwareKey(L"Zandorel"), L"Project Path",
                       std::wstring(kOffice) + L"\\WINPROJ.EXE");

    MakeHostFolder("C:\\Program Files (x86)\\Zandorel\\System");
    WriteHostFile("C:\\Program Files (x86)\\Zandorel\\System\\ZanUtility7.dll", "MZ");
    registry.SetString(SoftwareKey(L"Zandorel"), L"System Directory",
                       L"C:\\Program Files (x86)\\Zandorel\\System");
    registry.SetString(SoftwareKey(L"Zandorel\\ORVEX for Excel\\7.0"), L"Program Directory",
                       L"C:\\Program Files (x86)\\Zandorel\\ORVEX");
    const std::pair<const wchar_t*, const wchar_t*> classes[] = {
        {L"ZanUtility7.ZanUtil", L"{6C1E0C11-7A2B-4C5D-9E01-000000000001}"},
        {L"ZanGraph7Server.ZGrGraph", L"{6C1E0C11-7A2B-4C5D-9E01-000000000002}"},
        {L"OrvexModel7.Server", L"{6C1E0C11-7A2B-4C5D-9E01-000000000003}"}};
    for (const auto& entry : classes) {
        registry.SetString(std::wstring(L"HKCR\\") + entry.first + L"\\CLSID", L"", entry.second);
        machine.comClasses[entry.second];
    }

    EXPECT_EQ(RunLog(), GoldenLog::ReadExpected("components-64bit.log"));
}

TEST_F(ComponentsGoldenTest, MinimalThirtyTwoBitMachine) {
    EXPECT_EQ(RunLog(), GoldenLog::ReadExpected("components-32bit.log"));
}
