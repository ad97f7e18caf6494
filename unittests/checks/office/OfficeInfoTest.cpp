// The Excel and Project sections on simulated machines.
#include "checks/office/ZPExcelInfo.h"
#include "checks/office/ZPProjectInfo.h"
#include "report/SectionOutput.h"
#include "support/SectionTest.h"

namespace {

using LineList = std::vector<std::string>;

const uint16_t k32Bit = 0x14c;
const uint16_t k64Bit = 0x8664;
const char kTempDocument[] = "C:\\users\\tester\\Temp\\ZandorelLaunchTemp.xls";

} // namespace

class OfficeInfoTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        Machine().is64Bit = true;
        MakeHostFolder("C:\\Office");
    }
    // The section that a fresh log receives from the program's information.
    template <class Info> LineList InfoLines() {
        return LinesOf([] {
            Info info;
            info.Initialize();
            info.WriteToLog(*g_LogFile);
        });
    }
    LineList ExcelLines() { return InfoLines<ZPExcelInfo>(); }
    LineList ProjectLines() { return InfoLines<ZPProjectInfo>(); }
    void SetHint(const std::wstring& name, const std::wstring& path) {
        Registry().SetString(SoftwareKey(L"Zandorel"), name, path);
    }
};

TEST_F(OfficeInfoTest, HintToAMissingFileIsTakenAsItIsWithoutATemporaryDocument) {
    SetHint(L"Excel Path", L"C:\\Office\\Missing\\EXCEL.EXE");
    // A document of the temporary name that the search would truncate and delete.
    WriteHostFile(kTempDocument, "keep");
    EXPECT_EQ(ExcelLines(),
              (LineList{"Basic Excel Information", "Default Path = C:\\Office\\Missing\\EXCEL.EXE",
                        "Version = ", "Excel is 32-bit.", "Excel Automatic Startup Directories"}));
    EXPECT_EQ(ReadHostFile(kTempDocument), "keep");
}

TEST_F(OfficeInfoTest, BareFileNameGetsNoBitnessLine) {
    SetHint(L"Excel Path", L"EXCEL.EXE");
    EXPECT_EQ(ExcelLines(), (LineList{"Basic Excel Information", "Default Path = EXCEL.EXE",
                                      "Version = ", "Excel Automatic Startup Directories"}));
}

TEST_F(OfficeInfoTest, NoAssociationIsProgramNotFoundAndTheTemporaryDocumentIsGone) {
    WriteHostFile(kTempDocument, "old");
    EXPECT_EQ(ExcelLines(), (LineList{"Basic Excel Information", "Program not found",
                                      "Excel Automatic Startup Directories"}));
    EXPECT_FALSE(HostFileExists(kTempDocument));
}

TEST_F(OfficeInfoTest, AssociatedProgramWithVersionAndBitness) {
    Given().Excel("C:\\Office", k64Bit);
    EXPECT_EQ(ExcelLines(),
              (LineList{"Basic Excel Information", "Default Path = C:\\Office\\EXCEL.EXE",
                        "Version = 16.0.4266.1001", "Excel is 64-bit.",
                        "Excel Automatic Startup Directories"}));
    EXPECT_FALSE(HostFileExists(kTempDocument));

    // On 32-bit Windows the executable is not looked at.
    Machine().is64Bit = false;
    EXPECT_EQ(ExcelLines()[3],
              "Excel is 32-bit (based on the fact that the Operating System is 32-bit.)");
}

TEST_F(OfficeInfoTest, NewWorkbookCommandReplacesAMissingProgramOnlyWithoutASmallSlashE) {
    Given().Association(L".xls", L"Excel.Sheet.8", L"\"C:\\Gone\\EXCEL.EXE\" \"%1\"");
    Given().Executable("C:\\Office\\EXCEL.EXE", k32Bit);
    Registry().SetString(L"HKCR\\Excel.Sheet.8\\Shell\\New\\Command", L"",
                         L"C:\\Office\\EXCEL.EXE /e");
    EXPECT_EQ(ExcelLines()[1], "Default Path = C:\\Office\\EXCEL.EXE");

    // A capital E is not a switch to remove: the associated path stays, though no file is there.
    Registry().SetString(L"HKCR\\Excel.Sheet.8\\Shell\\New\\Command", L"",
                         L"C:\\Office\\EXCEL.EXE /E");
    EXPECT_EQ(ExcelLines(),
              (LineList{"Basic Excel Information", "Default Path = C:\\Gone\\EXCEL.EXE",
                        "Version = ", "Excel is 32-bit.", "Excel Automatic Startup Directories"}));
}

TEST_F(OfficeInfoTest, StartupFoldersInOrderWithTheirFilesAndTheSameFolderTwice) {
    SetHint(L"Excel Path", L"C:\\Office\\EXCEL.EXE");
    Given().Executable("C:\\Office\\EXCEL.EXE", k32Bit);
    WriteHostFile("C:\\Office\\XLSTART\\Book.xlam", "x");
    MakeHostFolder("C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Excel\\XLSTART");
    Machine().appDataFolder = L"C:\\users\\tester\\AppData\\Roaming";
    // The options key of the version up to its first dot, followed by 0.
    Registry().SetString(L"HKCU\\Software\\Microsoft\\Office\\16.0\\Excel\\Options", L"AltStartup",
                         L"C:\\Office\\XLSTART");
    Registry().SetString(L"HKCU\\Software\\Microsoft\\Office\\16\\Excel\\Options", L"AltStartup",
                         L"C:\\Office");
    ExcelLines();
    EXPECT_EQ(Log(),
              Heading("Basic Excel Information") + Line("Default Path = C:\\Office\\EXCEL.EXE") +
                  Line("Version = 16.0.4266.1001") + Line("Excel is 32-bit.") +
                  Heading("Excel Automatic Startup Directories") +
                  Line("C:\\Office\\XLSTART {1 File}") + Line("   Book.xlam") +
                  Line("C:\\users\\tester\\AppData\\Roaming\\Microsoft\\Excel\\XLSTART {0 Files}") +
                  Line("C:\\Office\\XLSTART {1 File}") + Line("   Book.xlam"));
}

TEST_F(OfficeInfoTest, StartupFolderListsAtMostAThousandPlainFiles) {
    SetHint(L"Excel Path", L"C:\\Office\\EXCEL.EXE");
    MakeHostFolder("C:\\Office\\XLSTART\\Sub");
    for (int i = 0; i < 1500; ++i) {
        WriteHostFile("C:\\Office\\XLSTART\\f" + std::to_string(i) + ".xla", "");
    }
    LineList lines = ExcelLines();
    ASSERT_EQ(lines.size(), 5u + 1u + 1000u);
    EXPECT_EQ(lines[5], "C:\\Office\\XLSTART {1000 Files}");
    EXPECT_EQ(lines[6].substr(0, 4), "   f");
}

TEST_F(OfficeInfoTest, HiddenAndSystemFilesAndSubfoldersAreNotListed) {
    SetHint(L"Excel Path", L"C:\\Office\\EXCEL.EXE");
    MakeHostFolder("C:\\Office\\XLSTART\\Sub");
    WriteHostFile("C:\\Office\\XLSTART\\Shown.xla", "");
    Given().File("C:\\Office\\XLSTART\\Hidden.xla", "", FILE_ATTRIBUTE_HIDDEN);
    Given().File("C:\\Office\\XLSTART\\System.xla", "", FILE_ATTRIBUTE_SYSTEM);
    WriteHostFile("C:\\Office\\XLSTART\\.dotted", "");
    LineList lines = ExcelLines();
    EXPECT_EQ(LineList(lines.begin() + 5, lines.end()),
              (LineList{"C:\\Office\\XLSTART {1 File}", "   Shown.xla"}));
}

TEST_F(OfficeInfoTest, ProjectSectionHasNoStartupFolders) {
    // Excel installed, Project not.
    Given().Excel("C:\\Office", k32Bit);
    EXPECT_EQ(ProjectLines(), (LineList{"Basic Project Information", "Program not found"}));
    EXPECT_FALSE(HostFileExists("C:\\users\\tester\\Temp\\ZandorelLaunchTemp.mpp"));

    Given().Association(L".mpp", L"MSProject.Project.9", L"C:\\Office\\WINPROJ.EXE \"%1\"");
    Given().Executable("C:\\Office\\WINPROJ.EXE", k64Bit);
    ProjectLines();
    EXPECT_EQ(Log(), Heading("Basic Project Information") +
                         Line("Default Path = C:\\Office\\WINPROJ.EXE") +
                         Line("Version = 16.0.4266.1001") + Line("Project is 64-bit."));
}

TEST_F(OfficeInfoTest, ProjectHintAndFallbackCommand) {
    SetHint(L"Project Path", L"WINPROJ.EXE");
    EXPECT_EQ(ProjectLines(),
              (LineList{"Basic Project Information", "Default Path = WINPROJ.EXE", "Version = "}));

    SetHint(L"Project Path", L"");
    Given().Association(L".mpp", L"MSProject.Project.9", L"\"C:\\Gone\\WINPROJ.EXE\" \"%1\"");
    Registry().SetString(L"HKCR\\MSProject.Project.9\\Shell\\New\\Command", L"",
                         L"C:\\Office\\WINPROJ.EXE /e");
    Given().Executable("C:\\Office\\WINPROJ.EXE", k32Bit);
    Machine().is64Bit = false;
    EXPECT_EQ(
        ProjectLines(),
        (LineList{"Basic Project Information", "Default Path = C:\\Office\\WINPROJ.EXE",
                  "Version = 16.0.4266.1001",
                  "Project is 32-bit (based on the fact that the Operating System is 32-bit.)"}));
}

TEST_F(OfficeInfoTest, StepsWriteToTheRunsLog) {
    ExcelInformation::Report();
    ProjectInformation::Report();
    EXPECT_EQ(Lines(), (LineList{"Basic Excel Information", "Program not found",
                                 "Excel Automatic Startup Directories", "Basic Project Information",
                                 "Program not found"}));
}
