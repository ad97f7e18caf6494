// The VB6 and VC2013 runtime sections on 32-bit and 64-bit simulated machines.
#include "checks/runtime/VB6Tests.h"
#include "checks/runtime/VC2010Tests.h"
#include "report/SectionOutput.h"
#include "support/SectionTest.h"

namespace {

using LineList = std::vector<std::string>;

// The type library key, natively and as a 32-bit program reads it on 64-bit Windows (type
// libraries are shared between the views).
const wchar_t kTypeLibrary[] =
    L"HKCR\\TypeLib\\{000204EF-0000-0000-C000-000000000046}\\6.0\\9\\win32";

} // namespace

class RuntimeTestsTest : public SectionTest {
protected:
    LineList VB6() { return LinesOf(VB6Tests::RunVB6Tests); }
    std::string VC2013() {
        LineList lines = LinesOf(VC2010Tests::RunVC2013Tests);
        return lines.size() == 2 ? lines[1] : "(" + std::to_string(lines.size()) + " lines)";
    }
    void SetInstalled(const std::wstring& platform, DWORD value) {
        Registry().SetDword(
            SoftwareKey(L"Microsoft\\VisualStudio\\12.0\\VC\\Runtimes\\" + platform), L"Installed",
            value);
    }
};

TEST_F(RuntimeTestsTest, ThirtyTwoBitMachineHasThreeVB6LinesAndLooksAtX86Only) {
    WriteHostFile("C:\\windows\\system32\\msvbvm60.dll", "MZ");
    Registry().SetString(kTypeLibrary, L"", L"C:\\windows\\system32\\msvbvm60.dll");
    VB6Tests::RunVB6Tests();
    EXPECT_EQ(Log(),
              Heading("VB6 System Tests") +
                  Line("Skype Test: Passed (C:\\windows\\system32\\msvbvm60.dll)") +
                  Line("MSVBVM60Testx86: Passed (C:\\windows\\system32\\msvbvm60.dll)") +
                  Line("MSVBVM60Testx64: Not running the test, because this is a 32-bit machine."));

    EXPECT_EQ(VC2013(), "Existence Test: Failed");
    SetInstalled(L"x86", 7);
    EXPECT_EQ(VC2013(), "Existence Test: Passed");
}

TEST_F(RuntimeTestsTest, RegisteredPathsThatFailAndAMissingValue) {
    Registry().SetString(kTypeLibrary, L"", L"C:\\Windows\\SysWOW64\\MSVBVM60.DLL");
    EXPECT_EQ(
        VB6(),
        (LineList{"VB6 System Tests", "Skype Test: Passed (C:\\Windows\\SysWOW64\\MSVBVM60.DLL)",
                  "MSVBVM60Testx86: Failed (C:\\Windows\\SysWOW64\\MSVBVM60.DLL)",
                  "MSVBVM60Testx64: Not running the test, because this is a 32-bit machine."}));
    Registry().SetString(kTypeLibrary, L"", L"C:\\windows\\system32\\vbrun.dll");
    EXPECT_EQ(VB6()[1], "Skype Test: Failed (C:\\windows\\system32\\vbrun.dll)");
    Registry().SetString(kTypeLibrary, L"", L"");
    EXPECT_EQ(
        VB6(),
        (LineList{"VB6 System Tests", "Skype Test: Failed ()",
                  "MSVBVM60Testx86: Failed (Registry value not found.)",
                  "MSVBVM60Testx64: Not running the test, because this is a 32-bit machine."}));
}

TEST_F(RuntimeTestsTest, SixtyFourBitMachineReadsTheNativeRegistrationForX64) {
    Machine().is64Bit = true;
    WriteHostFile("C:\\windows\\syswow64\\msvbvm60.dll", "MZ");
    // The native registration is read through the 64-bit view. With type libraries shared, the
    // same value serves both views.
    Registry().SetString(kTypeLibrary, L"", L"C:\\windows\\syswow64\\msvbvm60.dll");
    EXPECT_EQ(VB6(), (LineList{"VB6 System Tests",
                               "Skype Test: Passed (C:\\windows\\syswow64\\msvbvm60.dll)",
                               "MSVBVM60Testx86: Passed (C:\\windows\\syswow64\\msvbvm60.dll)",
                               "MSVBVM60Testx64: Passed (C:\\windows\\syswow64\\msvbvm60.dll)"}));
    Registry().SetString(kTypeLibrary, L"", L"");
    EXPECT_EQ(VB6().back(), "MSVBVM60Testx64: Failed (Registry value not found.)");
}

TEST_F(RuntimeTestsTest, VC2013OnSixtyFourBitWindowsNeedsX86AndIa64OrX64) {
    Machine().is64Bit = true;
    SetInstalled(L"x64", 1);
    EXPECT_EQ(VC2013(), "Existence Test: Failed");
    SetInstalled(L"x86", 1);
    EXPECT_EQ(VC2013(), "Existence Test: Passed");
    SetInstalled(L"x64", 0);
    EXPECT_EQ(VC2013(), "Existence Test: Failed");
    SetInstalled(L"ia64", 0xFFFFFFFF);
    EXPECT_EQ(VC2013(), "Existence Test: Passed");
}
