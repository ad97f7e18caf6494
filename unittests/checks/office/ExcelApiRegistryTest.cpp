// The Excel API registry consistency tests and the interface registration report.
#include "checks/office/ExcelApiRegistry.h"
#include "support/SectionTest.h"

#include <functional>

namespace {

const wchar_t kInterface[] =
    L"HKLM\\Software\\Classes\\Interface\\{000208D5-0000-0000-C000-000000000046}";
const wchar_t kTypeLib[] =
    L"HKLM\\Software\\Classes\\TypeLib\\{00020813-0000-0000-C000-000000000046}";

} // namespace

class ExcelApiRegistryTest : public SectionTest {
protected:
    // What the log holds from the test's "Status: " line on.
    std::string StatusOf(const std::function<void()>& p_Test) {
        std::string log = LogOf(p_Test);
        size_t status = log.find("Status: ");
        return status == std::string::npos ? log : log.substr(status);
    }
    std::string VersionStatus(const std::wstring& p_Version, const std::wstring& p_TypeLibKey) {
        Registry().SetString(std::wstring(kInterface) + L"\\TypeLib", L"Version", p_Version);
        Registry().CreateKey(std::wstring(kTypeLib) + L"\\" + p_TypeLibKey);
        std::string status = StatusOf(ExcelApiRegistry::TestExcelApiVersionConsistency);
        Registry().CreateKey(kTypeLib).Clear();
        return status;
    }
};

TEST_F(ExcelApiRegistryTest, VersionConsistencyExplainsThenReports) {
    std::string log = LogOf(ExcelApiRegistry::TestExcelApiVersionConsistency);
    EXPECT_EQ(log.find(Heading("Registry consistency for version info for Excel API") +
                       "The test is based on the solution to ticket #142392.\r\n"),
              0u);
    EXPECT_NE(log.find("\r\n(These Version values found on the computer being diagnozed are listed "
                       "elsewhere in this log, except for the 64-bit value.)\r\n"),
              std::string::npos);
    EXPECT_EQ(log.substr(log.find("Status: ")),
              "Status: Passed (no HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\"
              "{000208D5-0000-0000-C000-000000000046} key, which is OK for 64-bit Excel)\r\n");
}

TEST_F(ExcelApiRegistryTest, VersionProbesThreeSeriesOfTwenty) {
    EXPECT_EQ(VersionStatus(L"1.9", L"1.9"), "Status: Passed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"1.8"), "Status: Failed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"1.28"), "Status: Passed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"1.29"), "Status: Failed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"1.30"), "Status: Failed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"2.5"), "Status: Passed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"3.19"), "Status: Passed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"3.20"), "Status: Failed\r\n");
    EXPECT_EQ(VersionStatus(L"1.9", L"4.0"), "Status: Failed\r\n");
    // Key names are decimal: 1.a is never probed, though a were 10.
    EXPECT_EQ(VersionStatus(L"1.9", L"1.a"), "Status: Failed\r\n");
    // Build and revision do not count.
    EXPECT_EQ(VersionStatus(L"1.9.7.3", L"1.9"), "Status: Passed\r\n");
}

TEST_F(ExcelApiRegistryTest, VersionThatCannotBeReadIsInconclusive) {
    const std::string inconclusive = "Status: Inconclusive: didn't determine version in Interface "
                                     "section of Registry\r\n";
    EXPECT_EQ(VersionStatus(L"", L"1.9"), inconclusive);
    EXPECT_EQ(VersionStatus(L"unknown", L"1.9"), inconclusive);
    Registry().CreateKey(std::wstring(kInterface) + L"\\TypeLib").DeleteValue(L"Version");
    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestExcelApiVersionConsistency), inconclusive);
}

TEST_F(ExcelApiRegistryTest, EmptyKeysDecidedByTheApplicationInterfaceAlone) {
    Registry().CreateKey(
        L"HKLM\\Software\\Classes\\Interface\\{000208DA-0000-0000-C000-000000000046}");
    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestEmptyExcelApiKeys), "Status: Passed\r\n");

    Registry().CreateKey(std::wstring(kInterface) + L"\\TypeLib");
    std::string log = LogOf(ExcelApiRegistry::TestEmptyExcelApiKeys);
    EXPECT_EQ(log.find(Heading("Test for empty registry keys related to Excel API")), 0u);
    EXPECT_NE(log.find("\r\n64-bit Excel first reads the 32-bit registry locations.  If they're "
                       "not there, it reads 64-bit locations.\r\n"),
              std::string::npos);
    EXPECT_EQ(log.substr(log.find("Status: ")), "Status: Failed\r\n");

    Registry().SetString(std::wstring(kInterface) + L"\\TypeLib", L"Version", L"");
    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestEmptyExcelApiKeys), "Status: Passed\r\n");
}

TEST_F(ExcelApiRegistryTest, FirstBrokenTypeLibraryPathIsReportedAndNoOther) {
    WriteHostFile("C:\\EXCEL.EXE", "MZ");
    Registry().SetString(std::wstring(kTypeLib) + L"\\1.7\\0\\win32", L"", L"C:\\EXCEL.EXE");
    Registry().SetString(std::wstring(kTypeLib) + L"\\1.8\\0\\win32", L"", L"");
    Registry().SetString(std::wstring(kTypeLib) + L"\\1.8\\0\\win64", L"", L"C:\\Gone\\EXCEL.EXE");
    Registry().SetString(std::wstring(kTypeLib) + L"\\1.9\\0\\win32", L"", L"C:\\Lost\\EXCEL.EXE");
    Registry().SetString(std::wstring(kTypeLib) + L"\\3.20\\0\\win32", L"", L"C:\\Lost\\X.EXE");

    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestExcelTypeLibraryPaths),
              "Status: Failed\r\n"
              "Key: HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Classes\\TypeLib\\"
              "{00020813-0000-0000-C000-000000000046}\\1.8\\0\\Win64\r\n"
              "Path: C:\\Gone\\EXCEL.EXE\r\n");

    Registry().CreateKey(std::wstring(kTypeLib) + L"\\1.8").Clear();
    Registry().CreateKey(std::wstring(kTypeLib) + L"\\1.9").Clear();
    EXPECT_NE(StatusOf(ExcelApiRegistry::TestExcelTypeLibraryPaths).find("\\3.20\\0\\Win32\r\n"),
              std::string::npos);
    Registry().CreateKey(std::wstring(kTypeLib) + L"\\3.20").Clear();
    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestExcelTypeLibraryPaths), "Status: Passed\r\n");

    // A hidden file (a dot name, as Wine shows it) exists all the same.
    WriteHostFile("C:\\.excel.tlb", "MSFT");
    Registry().SetString(std::wstring(kTypeLib) + L"\\1.7\\0\\win32", L"", L"C:\\.excel.tlb");
    EXPECT_EQ(StatusOf(ExcelApiRegistry::TestExcelTypeLibraryPaths), "Status: Passed\r\n");
}

TEST_F(ExcelApiRegistryTest, InterfaceVersionsThroughTheThreeRoots) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Classes\\Wow6432Node\\Interface\\"
                         L"{000208D5-0000-0000-C000-000000000046}\\TypeLib",
                         L"Version", L"1.9");
    // The native registration is not what the program's view reads.
    Registry().SetString(std::wstring(kInterface) + L"\\TypeLib", L"Version", L"1.8");
    ExcelApiRegistry::ReportInterfaceTypeLibVersions(L"000208D5-0000-0000-C000-000000000046");
    ExcelApiRegistry::ReportInterfaceTypeLibVersions(L"000208DB-0000-0000-C000-000000000046");

    EXPECT_EQ(Log(), "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\"
                     "{000208D5-0000-0000-C000-000000000046}\\TypeLib, value named Version: 1.9\r\n"
                     "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\"
                     "{000208D5-0000-0000-C000-000000000046}\\TypeLib, value named Version: "
                     "Not Found\r\n"
                     "HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\"
                     "{000208D5-0000-0000-C000-000000000046}\\TypeLib, value named Version: 1.9\r\n"
                     "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\"
                     "{000208DB-0000-0000-C000-000000000046}\\TypeLib, value named Version: "
                     "Not Found\r\n"
                     "HKEY_CURRENT_USER\\SOFTWARE\\Classes\\Wow6432Node\\Interface\\"
                     "{000208DB-0000-0000-C000-000000000046}\\TypeLib, value named Version: "
                     "Not Found\r\n"
                     "HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\"
                     "{000208DB-0000-0000-C000-000000000046}\\TypeLib, value named Version: "
                     "Not Found\r\n");
}
