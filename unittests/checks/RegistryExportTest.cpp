// Registry exports and folder listings appended to the log by the command interpreter, and the
// run's stretches of them.
#include "checks/RegistryExport.h"
#include "checks/system/RegistryDumps.h"
#include "platform/processes.h"
#include "support/SectionTest.h"

#include <sys/stat.h>

using RegistryExport::ExportRegistryKeyToLog;
using RegistryExport::ListFolderToLog;

namespace {

const char kExportHeader[] = "Windows Registry Editor Version 5.00\r\n";
const wchar_t kInternational[] = L"HKEY_CURRENT_USER\\Control Panel\\International";
const char kInternationalExport[] = "Windows Registry Editor Version 5.00\r\n\r\n"
                                    "[HKEY_CURRENT_USER\\Control Panel\\International]\r\n"
                                    "\"sShortDate\"=\"M/d/yyyy\"\r\n"
                                    "\"iCountry\"=\"1\"\r\n\r\n";

} // namespace

class RegistryExportTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        Registry().SetString(L"HKCU\\Control Panel\\International", L"sShortDate", L"M/d/yyyy");
        Registry().SetString(L"HKCU\\Control Panel\\International", L"iCountry", L"1");
        Registry().SetDword(L"HKCU\\Software\\Zandorel\\Orvex", L"Level", 2);
    }
};

TEST_F(RegistryExportTest, KeyWithBlanksIsExportedWholeUnderItsHeading) {
    ExportRegistryKeyToLog(kInternational);

    EXPECT_EQ(Log(),
              Heading("Registry entries for HKEY_CURRENT_USER\\Control Panel\\International") +
                  kInternationalExport);
    EXPECT_FALSE(HostFileExists(kDumpFile));
    // The program copies the export into the log itself.
    const auto& started = Machine().startedProcesses;
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].commandLine,
              L"cmd /d /c \"reg export \"HKEY_CURRENT_USER\\Control Panel\\International\" "
              L"\"C:\\users\\tester\\Temp\\ZandorelRegDump.txt\"\"");
    EXPECT_TRUE(started[0].inputFromNullDevice);
}

TEST_F(RegistryExportTest, MissingKeyOrShortRootNameLeavesNoTrace) {
    ExportRegistryKeyToLog(L"HKEY_CURRENT_USER\\Software\\Missing");
    ExportRegistryKeyToLog(L"HKCU\\Control Panel\\International");
    ExportRegistryKeyToLog(L"HKEY_CURRENT_USR\\Control Panel\\International");
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(Machine().startedProcesses.empty());
}

TEST_F(RegistryExportTest, TwoExportsInARowEachAppendOnlyTheirOwnKey) {
    ExportRegistryKeyToLog(kInternational);
    ExportRegistryKeyToLog(L"HKEY_CURRENT_USER\\Software\\Zandorel");

    EXPECT_EQ(Log(),
              Heading("Registry entries for HKEY_CURRENT_USER\\Control Panel\\International") +
                  kInternationalExport +
                  Heading("Registry entries for HKEY_CURRENT_USER\\Software\\Zandorel") +
                  kExportHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Zandorel]\r\n\r\n" +
                  "[HKEY_CURRENT_USER\\Software\\Zandorel\\Orvex]\r\n" +
                  "\"Level\"=dword:00000002\r\n\r\n");
    EXPECT_FALSE(HostFileExists(kDumpFile));
}

TEST_F(RegistryExportTest, DumpLeftOverFromAnEarlierRunIsReplaced) {
    WriteHostFile(kDumpFile, "stale dump of another key\r\n");
    ExportRegistryKeyToLog(kInternational);
    EXPECT_EQ(Log(),
              Heading("Registry entries for HKEY_CURRENT_USER\\Control Panel\\International") +
                  kInternationalExport);
    EXPECT_FALSE(HostFileExists(kDumpFile));
}

TEST_F(RegistryExportTest, DumpThatCannotBeRemovedIsNeverAppendedAsThisKeysExport) {
    WriteHostFile(kDumpFile, "stale dump of another key\r\n");
    MakeReadOnly(kDumpFile);
    ExportRegistryKeyToLog(kInternational);
    EXPECT_EQ(Log(),
              Heading("Registry entries for HKEY_CURRENT_USER\\Control Panel\\International") +
                  "<FAILURE> The registry export could not run: the previous export file "
                  "C:\\users\\tester\\Temp\\ZandorelRegDump.txt cannot be deleted\r\n");
    EXPECT_TRUE(Machine().startedProcesses.empty());
}

TEST_F(RegistryExportTest, DumpIsGoneAlsoWhenTheAppendFailed) {
    WriteHostFile(kLogFile, "");
    MakeReadOnly(kLogFile);
    ExportRegistryKeyToLog(kInternational);
    EXPECT_EQ(Machine().startedProcesses.size(), 1u);
    EXPECT_FALSE(HostFileExists(kDumpFile));
    EXPECT_EQ(Log(), "");
}

// An export or listing that did not happen says so under its heading, with the reason: the
// policies that stop cmd and reg, application control refusing cmd, a command that never ends.
TEST_F(RegistryExportTest, ExportsAndListingsThatDidNotHappenSaySoAndWhy) {
    const std::string exportHeading =
        Heading("Registry entries for HKEY_CURRENT_USER\\Control Panel\\International");
    const std::string listingHeading = Heading("Contents of C:\\Suite Files");
    const std::string blocked = "could not run: the command interpreter could not be started "
                                "(error 1260: This program is blocked by group policy. For more "
                                "information, contact your system administrator.)";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::string exportFailure;
        std::string listingFailure; // empty: the listing is there
    };
    const wchar_t* system = L"HKCU\\Software\\Policies\\Microsoft\\Windows\\System";
    const wchar_t* tools = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    const Case cases[] = {
        {"DisableCMD 1", [&] { Registry().SetDword(system, L"DisableCMD", 1); },
         "failed: the command prompt is disabled by policy (DisableCMD = 1)",
         "did not reach the log: the command prompt is disabled by policy (DisableCMD = 1)"},
        {"DisableCMD 2", [&] { Registry().SetDword(system, L"DisableCMD", 2); },
         "failed: the command prompt is disabled by policy (DisableCMD = 2)",
         "did not reach the log: the command prompt is disabled by policy (DisableCMD = 2)"},
        {"DisableRegistryTools", [&] { Registry().SetDword(tools, L"DisableRegistryTools", 1); },
         "failed: registry editing tools are disabled by policy (DisableRegistryTools = 1)", ""},
        {"application control",
         [&] {
             Machine().faults.push_back({"CreateProcessA", L"", ERROR_ACCESS_DISABLED_BY_POLICY});
         },
         blocked, blocked},
        {"never ends",
         [&] {
             Machine().faults.push_back({"CreateProcessA", L"", sim::kNeverEnds});
         },
         "failed: it did not end within 5 minutes and was stopped",
         "failed: it did not end within 5 minutes and was stopped"},
    };
    WriteHostFile("C:\\Suite Files\\a.dll", "1234");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Registry().DeleteTree(sim::RegRoot::CurrentUser, {L"Software", L"Policies"}, false);
        Registry().DeleteTree(sim::RegRoot::CurrentUser, {L"Software", L"Microsoft", L"Windows"},
                              false);
        Machine().faults.clear();
        c.arrange();
        std::string log = LogOf([] {
            ExportRegistryKeyToLog(kInternational);
            ListFolderToLog(L"C:\\Suite Files");
        });
        std::string listing = c.listingFailure.empty()
                                  ? log.substr(log.find(listingHeading) + listingHeading.size())
                                  : "<FAILURE> The folder listing " + c.listingFailure + "\r\n";
        EXPECT_EQ(log, exportHeading + "<FAILURE> The registry export " + c.exportFailure + "\r\n" +
                           listingHeading + listing);
        EXPECT_NE(listing.find(c.listingFailure.empty() ? " Directory of" : "<FAILURE>"),
                  std::string::npos);
        EXPECT_FALSE(HostFileExists(kDumpFile));
    }
}

// A command that never ends is ended after the time limit of the machine's clock, not before.
TEST_F(RegistryExportTest, ACommandThatNeverEndsIsEndedAfterTheTimeLimit) {
    Machine().faults.push_back({"CreateProcessA", L"", sim::kNeverEnds});
    DWORD start = Machine().tickCount;
    ExportRegistryKeyToLog(kInternational);
    EXPECT_GE(Machine().tickCount - start, Utilities::kCommandTimeLimit);
    EXPECT_LT(Machine().tickCount - start, 2 * Utilities::kCommandTimeLimit);
    EXPECT_NE(Log().find("<FAILURE> The registry export failed: it did not end"),
              std::string::npos);
}

// The log is in the ANSI code page (1252), the console writes in the OEM one (850): exported
// values and listed names reach the log as the program's own lines would write them.
TEST_F(RegistryExportTest, ExportedAndListedTextIsInTheLogsCodePage) {
    Machine().oemCodePage = 850;
    Registry().SetString(L"HKCU\\Software\\Zandorel", L"Caf\u00e9", L"na\u00efve");
    WriteHostFile("C:\\Suite Files\\r\u00e9sum\u00e9.txt", "1");
    ExportRegistryKeyToLog(L"HKEY_CURRENT_USER\\Software\\Zandorel");
    ListFolderToLog(L"C:\\Suite Files");
    EXPECT_NE(Log().find("\"Caf\xe9\"=\"na\xefve\""), std::string::npos);
    EXPECT_NE(Log().find(" r\xe9sum\xe9.txt\r\n"), std::string::npos);
    ASSERT_EQ(Machine().startedProcesses.size(), 2u);
    EXPECT_EQ(Machine().startedProcesses[1].commandLine,
              L"cmd /d /c \"chcp 1252 >nul && dir /s /a-d \"C:\\Suite Files\" >> "
              L"\"C:\\users\\tester\\Temp\\Zanprobe7.txt\"\"");
}

TEST_F(RegistryExportTest, FolderListingCoversEveryFileBelowTheFolder) {
    WriteHostFile("C:\\Suite Files\\a.dll", "1234");
    WriteHostFile("C:\\Suite Files\\sub\\b.txt", "12");
    MakeHostFolder("C:\\Suite Files\\empty");

    ListFolderToLog(L"C:\\Suite Files");

    std::string log = Log();
    std::string heading = Heading("Contents of C:\\Suite Files");
    ASSERT_EQ(log.substr(0, heading.size()), heading);
    std::string listing = log.substr(heading.size());
    EXPECT_EQ(listing.find(" Volume in drive C has no label.\r\n"), 0u);
    size_t top = listing.find(" Directory of C:\\Suite Files\r\n");
    size_t sub = listing.find(" Directory of C:\\Suite Files\\sub\r\n");
    ASSERT_NE(top, std::string::npos);
    ASSERT_NE(sub, std::string::npos);
    EXPECT_LT(listing.find("              4 a.dll\r\n"), sub);
    EXPECT_GT(listing.find("              2 b.txt\r\n"), sub);
    EXPECT_EQ(listing.find("empty"), std::string::npos);
    EXPECT_NE(listing.find(
                  "     Total Files Listed:\r\n               2 File(s)              6 bytes\r\n"),
              std::string::npos);
}

TEST_F(RegistryExportTest, FolderWithAQuoteInItsNameIsNotHandedToTheCommandInterpreter) {
    ListFolderToLog(L"C:\\x\" & del C:\\y & \"");
    EXPECT_EQ(Log(), Heading("Contents of C:\\x\" & del C:\\y & \""));
    EXPECT_TRUE(Machine().startedProcesses.empty());
}

// The run's stretches of exports.

TEST_F(RegistryExportTest, TypeLibraryBlockExplainsEvenWithoutRegistrations) {
    RegistryDumps::ExportProjectTypeLibrary();
    EXPECT_EQ(Log(), Heading("Project COM Type Library Registrations") +
                         "The following COM entries have sub-keys corresponding to various "
                         "versions of Project\r\n"
                         "If the sub-key is still there after the un-installation of a version of "
                         "Office, it can cause problems with 64-bit Project that show as "
                         "something like Error Loading DLL.\r\n");
}

TEST_F(RegistryExportTest, PolicyTrustedLocationsOnlyWithTheOfficePolicyKey) {
    Registry().CreateKey(L"HKCU\\software\\policies\\microsoft");
    RegistryDumps::ExportPolicyTrustedLocations();
    EXPECT_EQ(Log(), "");

    Registry().CreateKey(L"HKCU\\software\\policies\\microsoft\\office");
    RegistryDumps::ExportPolicyTrustedLocations();
    EXPECT_EQ(Log(), Heading("Group Policy can also specify trusted locations for all Office "
                             "applications."));
}

TEST_F(RegistryExportTest, SuiteFolderIsListedOnlyWhenItExists) {
    Registry().SetString(L"HKLM\\Software\\Zandorel", L"Main Directory", L"C:\\Zandorel\\MRL7\\");
    RegistryDumps::ListSuiteMainFolder();
    EXPECT_EQ(Log(), "");

    WriteHostFile("C:\\Zandorel\\MRL7\\ZanUtility7.dll", "x");
    RegistryDumps::ListSuiteMainFolder();
    EXPECT_EQ(Log().find(Heading("Contents of C:\\Zandorel\\MRL7") + " Volume in drive C"), 0u);
}
