#include "report/ZPLogFile.h"
#include "logformat/LogFormat.h"
#include "platform/error.h"
#include "support/SimMachineTest.h"
#include "winapi/winapi_testing.h"

namespace {

const std::string kLog = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
const std::string kTerminator = LogFormat::TerminatorBlock();

} // namespace

class ZPLogFileTest : public SimMachineTest {
protected:
    ZPLogFile log;
    std::string Log() const { return ReadHostFile(kLog); }
};

TEST_F(ZPLogFileTest, InitializeSetsThePathAndErasesTheOldLog) {
    WriteHostFile(kLog, "old run\r\n");
    EXPECT_EQ(log.LogFilePath(), L"");
    log.Initialize();
    EXPECT_EQ(log.LogFilePath(), L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
    EXPECT_FALSE(HostFileExists(kLog));
}

TEST_F(ZPLogFileTest, RecordsByteForByte) {
    log.Initialize();
    log.WriteToLogFile(L"Heading", true);
    log.WriteToLogFile(L"abc", false);
    log.Failure(L"x");
    // The format's one spelling out, byte for byte; everything else uses the shared header.
    const std::string stars(68, '*');
    const std::string hyphens(68, '-');
    EXPECT_EQ(Log(),
              "\r\n\r\n\r\n" + stars + "\r\nHeading\r\n" + hyphens + "\r\nabc\r\n<FAILURE> x\r\n");
    EXPECT_EQ(LogFormat::HeadingBlock("Heading"), Log().substr(0, Log().find("abc")));
    EXPECT_EQ(LogFormat::TerminatorBlock(),
              "\r\n" + std::string(56, '-') + "\r\nDiagnostic Log Terminated\r\n");
}

TEST_F(ZPLogFileTest, TextWithLineBreaksKeepsOnePairOfRules) {
    log.Initialize();
    log.WriteToLogFile(L"one\r\ntwo", true);
    EXPECT_EQ(Log(), LogFormat::HeadingBlock("one\r\ntwo"));
}

TEST_F(ZPLogFileTest, EveryCloseAppendsATerminatorBlockAndTheObjectStaysOpen) {
    log.Initialize();
    log.CloseLogFile(false);
    EXPECT_EQ(Log(), kTerminator);
    log.CloseLogFile(false);
    log.WriteToLogFile(L"after", false);
    EXPECT_EQ(Log(), kTerminator + kTerminator + "after\r\n");
    EXPECT_TRUE(Machine().openedDocuments.empty());
}

TEST_F(ZPLogFileTest, DisplayHandsTheLogToTheShellOnce) {
    log.Initialize();
    log.CloseLogFile(true);
    ASSERT_EQ(Machine().openedDocuments.size(), 1u);
    EXPECT_EQ(Machine().openedDocuments[0], L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
}

TEST_F(ZPLogFileTest, NothingHappensBeforeInitializeOrAfterDispose) {
    log.WriteToLogFile(L"early", false);
    log.CloseLogFile(true);
    EXPECT_FALSE(HostFileExists(kLog));
    log.Initialize();
    log.WriteToLogFile(L"kept", false);
    log.Dispose();
    EXPECT_EQ(log.LogFilePath(), L"");
    log.WriteToLogFile(L"late", false);
    log.Failure(L"late");
    log.CloseLogFile(true);
    log.DisplayToUser();
    EXPECT_EQ(Log(), "kept\r\n");
    EXPECT_TRUE(Machine().openedDocuments.empty());
}

TEST_F(ZPLogFileTest, ReadOnlyOldLogCannotBeErased) {
    WriteHostFile(kLog, "old\r\n");
    MakeReadOnly(kLog);
    try {
        log.Initialize();
        FAIL() << "no error";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Number(), -2147221504L);
        EXPECT_EQ(error.Description(), L"Unable to erase existing log file.");
    }
    // The path stays set; writes that cannot open the file are silently lost.
    EXPECT_EQ(log.LogFilePath(), L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
    log.WriteToLogFile(L"lost", false);
    EXPECT_EQ(Log(), "old\r\n");
}

TEST_F(ZPLogFileTest, LogHeldOpenElsewhereCannotBeErased) {
    WriteHostFile(kLog, "old\r\n");
    HANDLE held = CreateFileA(kLog.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(log.Initialize(), ZPError);
    CloseHandle(held);
}

TEST_F(ZPLogFileTest, WriteRefusedBySharingIsTriedAgainForAShortWhile) {
    log.Initialize();
    // A scanner holds the log for three attempts: the line is written, after a wait.
    Machine().faults.push_back({"CreateFileA", log.LogFilePath(), ERROR_SHARING_VIOLATION, 0, 3});
    log.WriteToLogFile(L"one", false);
    EXPECT_EQ(Log(), "one\r\n");
    EXPECT_FALSE(log.WriteFailed());
    EXPECT_EQ(Machine().sleptMilliseconds, 300u);

    // Held for longer: a failed write after half a second, and no more waiting after it.
    Machine().faults = {{"CreateFileA", log.LogFilePath(), ERROR_SHARING_VIOLATION, 0, 10}};
    log.WriteToLogFile(L"two", false);
    EXPECT_TRUE(log.WriteFailed());
    EXPECT_EQ(Machine().sleptMilliseconds, 300u + 400u);
    log.WriteToLogFile(L"three", false);
    EXPECT_EQ(Machine().sleptMilliseconds, 700u);

    // Other refusals are not waited for.
    ZPLogFile other;
    other.Initialize();
    Machine().faults = {{"CreateFileA", other.LogFilePath(), ERROR_ACCESS_DENIED}};
    other.WriteToLogFile(L"x", false);
    EXPECT_TRUE(other.WriteFailed());
    EXPECT_EQ(Machine().sleptMilliseconds, 700u);
}

TEST_F(ZPLogFileTest, HiddenOldLogIsErasedToo) {
    // Left in place, the old run's lines would stand in front of the new run's.
    WriteHostFile(kLog, "hidden\r\n");
    ASSERT_TRUE(SetFileAttributesA(kLog.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    log.Initialize();
    log.WriteToLogFile(L"new", false);
    EXPECT_EQ(Log(), "new\r\n");
}

TEST_F(ZPLogFileTest, TextIsWrittenInTheAnsiCodePage) {
    log.Initialize();
    log.WriteToLogFile(L"Caf\u00e9 \u20ac \u4e2d", false);
    EXPECT_EQ(Log(), "Caf\xe9 \x80 ?\r\n");
}

TEST_F(ZPLogFileTest, AppendTextFileCopiesLines) {
    log.Initialize();
    WriteHostFile("C:\\users\\tester\\Temp\\dump.txt", "one\r\ntwo\rthree\nfour");
    WriteHostFile("C:\\users\\tester\\Temp\\empty.txt", "");
    WriteHostFile("C:\\users\\tester\\Temp\\blank.txt", "\r\n\r\nlast\r\n");
    log.AppendTextFile(L"C:\\users\\tester\\Temp\\dump.txt");
    log.AppendTextFile(L"C:\\users\\tester\\Temp\\empty.txt");
    log.AppendTextFile(L"C:\\users\\tester\\Temp\\missing.txt");
    log.AppendTextFile(L"C:\\users\\tester\\Temp\\blank.txt");
    EXPECT_EQ(Log(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\n\r\nlast\r\n");
}
