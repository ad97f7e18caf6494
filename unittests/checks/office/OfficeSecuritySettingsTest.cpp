// The Office security settings report.
#include "checks/office/OfficeSecuritySettings.h"
#include "support/SectionTest.h"

namespace {

const wchar_t kExcel16Policy[] =
    L"HKCU\\software\\policies\\microsoft\\office\\16.0\\excel\\security";
const wchar_t kProject15User[] = L"HKCU\\software\\microsoft\\office\\15.0\\ms project\\security";

} // namespace

class OfficeSecuritySettingsTest : public SectionTest {};

TEST_F(OfficeSecuritySettingsTest, VersionWithoutEitherKeyWritesNothing) {
    Registry().CreateKey(L"HKCU\\software\\microsoft\\office\\16.0\\excel");
    Registry().CreateKey(L"HKCU\\software\\microsoft\\office\\16.0\\ms project\\security");
    OfficeSecuritySettings::ReportOfficeSecuritySettings(16, true);
    OfficeSecuritySettings::ReportOfficeSecuritySettings(15, false);
    EXPECT_EQ(Log(), "");
}

TEST_F(OfficeSecuritySettingsTest, OnlyThePolicyKeyStillGivesTheWholeSection) {
    Registry().SetDword(kExcel16Policy, L"vbawarnings", 0);
    Registry().SetDword(kExcel16Policy, L"requireaddinsig", 0xFFFFFFFF);
    OfficeSecuritySettings::ReportOfficeSecuritySettings(16, true);

    const std::string policy =
        "HKEY_CURRENT_USER\\software\\policies\\microsoft\\office\\16.0\\excel\\security!";
    const std::string user =
        "HKEY_CURRENT_USER\\software\\microsoft\\office\\16.0\\excel\\security!";
    EXPECT_EQ(Log(), "\r\n" + Heading("Security Settings for Excel 16") + policy +
                         "vbawarnings=0\r\n" + user + "vbawarnings does not exist.\r\n" + policy +
                         "disablealladdins does not exist.\r\n" + user +
                         "disablealladdins does not exist.\r\n" + policy +
                         "requireaddinsig=-1\r\n" + user + "requireaddinsig does not exist.\r\n");
}

TEST_F(OfficeSecuritySettingsTest, ProjectKeysAndTrustedLocations) {
    Registry().SetDword(kProject15User, L"VBAWarnings", 2);
    Registry().SetString(std::wstring(kProject15User) + L"\\Trusted Locations\\Location0", L"Path",
                         L"C:\\Plans\\");
    OfficeSecuritySettings::ReportOfficeSecuritySettings(15, false);

    const std::string user =
        "HKEY_CURRENT_USER\\software\\microsoft\\office\\15.0\\ms project\\security";
    std::string log = Log();
    EXPECT_EQ(log.find("\r\n" + Heading("Security Settings for Project 15")), 0u);
    EXPECT_NE(log.find(user + "!vbawarnings=2\r\n"), std::string::npos);
    EXPECT_NE(log.find(Heading("Registry entries for " + user + "\\trusted locations") +
                       "Windows Registry Editor Version 5.00\r\n\r\n[" + user +
                       "\\trusted locations]\r\n\r\n[" + user +
                       "\\trusted locations\\Location0]\r\n\"Path\"=\"C:\\\\Plans\\\\\"\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(log.find("Registry entries for HKEY_CURRENT_USER\\software\\policies"),
              std::string::npos);
}

TEST_F(OfficeSecuritySettingsTest, BlockOrderIsExcelThenProject) {
    Registry().CreateKey(L"HKCU\\software\\microsoft\\office\\12.0\\ms project\\security");
    Registry().CreateKey(L"HKCU\\software\\microsoft\\office\\16.0\\excel\\security");
    Registry().CreateKey(L"HKCU\\software\\microsoft\\office\\13.0\\excel\\security");
    std::string log = LogOf(OfficeSecuritySettings::ReportAllOfficeSecuritySettings);
    std::string block = Heading("The security settings below should not affect the ability to "
                                "run our software, but they may affect the ability to use "
                                "workbooks with macros.");
    EXPECT_EQ(log.find(block), 0u);
    size_t excel = log.find("Security Settings for Excel 16\r\n");
    size_t project = log.find("Security Settings for Project 12\r\n");
    ASSERT_NE(excel, std::string::npos);
    ASSERT_NE(project, std::string::npos);
    EXPECT_LT(excel, project);
    EXPECT_EQ(log.find("Excel 13"), std::string::npos);
}
