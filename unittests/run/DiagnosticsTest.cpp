#include "run/Diagnostics.h"
#include "app/FormMain.h"
#include "logformat/LogFormat.h"
#include "support/FakeFormView.h"
#include "support/SimMachineTest.h"

#include <algorithm>

namespace {

const std::string kLog = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
const std::string kTerminator = LogFormat::TerminatorBlock();
const std::string kPreamble = "Starting Zandorel Diagnostics: 12/8/2026 3:04:05 PM\r\n"
                              "Diagnostic Utility Version: 7.0.27\r\n"
                              "Log File Path = C:\\users\\tester\\Temp\\Zanprobe7.txt\r\n";

} // namespace

class DiagnosticsTest : public SimMachineTest {
protected:
    void TearDown() override {
        g_FormMain.reset();
        g_LogFile.reset();
        SimMachineTest::TearDown();
    }
};

TEST_F(DiagnosticsTest, CompleteRunWritesPreambleAndTerminatorAndOpensTheLog) {
    EXPECT_EQ(Diagnostics::RunDiagnostics(), L"");
    // The steps' sections lie between the preamble and the terminator block.
    std::string log = ReadHostFile(kLog);
    EXPECT_EQ(log.substr(0, kPreamble.size()), kPreamble);
    ASSERT_GE(log.size(), kPreamble.size() + kTerminator.size());
    EXPECT_EQ(log.substr(log.size() - kTerminator.size()), kTerminator);
    ASSERT_EQ(Machine().openedDocuments.size(), 1u);
    EXPECT_EQ(Machine().openedDocuments[0], L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
    ASSERT_TRUE(g_LogFile);
    EXPECT_EQ(g_LogFile->LogFilePath(), L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
}

TEST_F(DiagnosticsTest, PreambleUsesTheUsersDateAndTimeFormats) {
    Machine().shortDatePicture = L"dd.MM.yyyy";
    Machine().longTimePicture = L"HH:mm:ss";
    Diagnostics::RunDiagnostics();
    EXPECT_EQ(ReadHostFile(kLog).substr(0, 52),
              "Starting Zandorel Diagnostics: 08.12.2026 15:04:05\r\n");
}

TEST_F(DiagnosticsTest, OldLogThatCannotBeErasedFailsTheRunWithoutViewer) {
    WriteHostFile(kLog, "old\r\n");
    MakeReadOnly(kLog);
    EXPECT_EQ(Diagnostics::RunDiagnostics(),
              L"Diagnostics Failed: Unable to erase existing log file.");
    EXPECT_TRUE(Machine().openedDocuments.empty());
    // The terminator block could not be appended to the read-only file either.
    EXPECT_EQ(ReadHostFile(kLog), "old\r\n");
}

TEST_F(DiagnosticsTest, TwoRunsGiveTheSamePathAndTheSecondRunOnly) {
    Diagnostics::RunDiagnostics();
    Text firstPath = g_LogFile->LogFilePath();
    Machine().fixedLocalTime->wSecond = 6;
    Diagnostics::RunDiagnostics();
    EXPECT_EQ(g_LogFile->LogFilePath(), firstPath);
    std::string log = ReadHostFile(kLog);
    EXPECT_EQ(log.find("3:04:05"), std::string::npos);
    EXPECT_EQ(log.rfind("Starting Zandorel Diagnostics: "), 0u);
    EXPECT_EQ(Machine().openedDocuments.size(), 2u);
}

TEST_F(DiagnosticsTest, SectionHeadingGoesToTheLogAndTheWindow) {
    FakeFormView::Record record;
    g_FormMain = std::make_unique<FormMain>(std::make_unique<FakeFormView>(record));
    g_LogFile = std::make_unique<ZPLogFile>();
    g_LogFile->Initialize();
    Report::WriteSectionHeading(L"Windows OS Information");
    EXPECT_EQ(ReadHostFile(kLog), LogFormat::HeadingBlock("Windows OS Information"));
    ASSERT_EQ(record.statusTexts.size(), 1u);
    EXPECT_EQ(record.statusTexts[0], L"Running Diagnostic Test\r\nWindows OS Information");
    EXPECT_EQ(record.repaints, 1);
}

TEST_F(DiagnosticsTest, SectionHeadingWithoutLogOrWindowDoesNothing) {
    Report::WriteSectionHeading(L"Nothing");
    EXPECT_FALSE(HostFileExists(kLog));
}

TEST_F(DiagnosticsTest, LogThatCannotBeWrittenFailsTheRunAndOpensNothing) {
    // A folder where the log belongs: every write is refused.
    MakeHostFolder(kLog);
    EXPECT_EQ(Diagnostics::RunDiagnostics(),
              L"Diagnostics Failed: Unable to write the log file " + Utilities::FromUtf8(kLog));
    EXPECT_TRUE(Machine().openedDocuments.empty());

    // No temporary folder: no log at the root of a drive either.
    Machine().tempPath.clear();
    EXPECT_EQ(Diagnostics::RunDiagnostics(),
              L"Diagnostics Failed: Unable to determine the temporary folder for the log file.");
    EXPECT_TRUE(Machine().openedDocuments.empty());
    EXPECT_EQ(FormMain::MarkerFilePath(), L"");
}

TEST_F(DiagnosticsTest, ProfileOutsideTheCodePageIsReachedByItsShortForm) {
    // A Cyrillic user name on a Western (1252) system.
    const std::string folder = "C:\\users\\\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\\Temp";
    MakeHostFolder(folder);
    Machine().tempPath = Utilities::FromUtf8(folder) + L"\\";
    std::wstring expected(MAX_PATH, L'\0');
    expected.resize(GetShortPathNameW(Machine().tempPath.c_str(), &expected[0], MAX_PATH));
    ASSERT_NE(expected.find(L"\\users\\"), std::wstring::npos);
    ASSERT_TRUE(std::all_of(expected.begin(), expected.end(), [](wchar_t c) { return c < 0x80; }));

    EXPECT_EQ(Diagnostics::RunDiagnostics(), L"");
    ASSERT_TRUE(g_LogFile);
    EXPECT_EQ(g_LogFile->LogFilePath(), expected + L"Zanprobe7.txt");
    EXPECT_NE(ReadHostFile(folder + "\\Zanprobe7.txt").find("Diagnostic Log Terminated"),
              std::string::npos);
    // The runtime-logging checkbox's marker file lies there too.
    EXPECT_EQ(FormMain::MarkerFilePath().substr(0, expected.size()), expected);

    // A volume without short names: the run says why it cannot start.
    g_LogFile.reset();
    Machine().drivesWithoutShortNames = L"C";
    EXPECT_EQ(Diagnostics::RunDiagnostics(),
              L"Diagnostics Failed: Unable to determine the temporary folder for the log file. "
              L"Its path (C:\\users\\" +
                  Utilities::FromUtf8("\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80") +
                  L"\\Temp) holds characters that the system's code page cannot, and its volume "
                  L"has no short (8.3) names to use instead.");
    EXPECT_EQ(FormMain::MarkerFilePath(), L"");
}
