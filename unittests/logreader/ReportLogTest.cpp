#include "logreader/ReportLog.h"

#include "logreader/TestLogs.h"

#include <gtest/gtest.h>

using LogReader::ReadReportLog;
using LogReader::ReadResult;

namespace {

TEST(ReportLogTest, ReadsTheGoldenLogsSectionBySection) {
    std::vector<std::string> lines = TestLogs::Inspection();
    ReadResult read = ReadReportLog(TestLogs::Bytes(lines));
    ASSERT_TRUE(read.ok) << read.errorLine << ": " << read.error;
    EXPECT_TRUE(read.log.Complete());
    EXPECT_EQ(read.log.terminators, 1u);
    EXPECT_EQ(read.log.lineCount, lines.size());
    ASSERT_EQ(read.log.sections.size(), 31u);
    EXPECT_EQ(read.log.sections[0].lines.size(), 3u); // the preamble
    EXPECT_EQ(read.log.sections[1].heading, "Windows OS Information");
    EXPECT_EQ(read.log.sections[1].headingLine, 8u);
    EXPECT_EQ(read.log.sections[1].lines.front().number, 10u);
    EXPECT_EQ(read.log.sections[1].lines.back().text,
              "Windows Temporary Directory = C:\\users\\tester\\Temp");

    // Shutdown's second terminator block, and a section whose last line is empty.
    for (const char* name : {"components-32bit.log", "components-64bit.log"}) {
        std::vector<std::string> whole = TestLogs::WholeLog(name);
        whole.insert(whole.end(), whole.end() - 3, whole.end());
        read = ReadReportLog(TestLogs::Bytes(whole));
        ASSERT_TRUE(read.ok) << name << ": " << read.errorLine << ": " << read.error;
        EXPECT_EQ(read.log.terminators, 2u) << name;
        EXPECT_TRUE(read.log.Complete()) << name;
    }
}

// Wherever a log is cut, it is read as a log that is not complete, never refused.
TEST(ReportLogTest, ALogCutAnywhereIsIncomplete) {
    std::string bytes = TestLogs::Bytes(TestLogs::WholeLog("components-64bit.log"));
    for (size_t size = 1; size < bytes.size(); ++size) {
        ReadResult read = ReadReportLog(bytes.substr(0, size));
        ASSERT_TRUE(read.ok) << "cut at " << size << ": line " << read.errorLine << ": "
                             << read.error;
        ASSERT_FALSE(read.log.Complete()) << "cut at " << size;
        ASSERT_GT(read.log.cutAfterLine, 0u) << "cut at " << size;
    }
}

// Only a file whose first lines are not a log's preamble is refused.
TEST(ReportLogTest, RefusesWhatIsNoReportLogWithTheLine) {
    std::vector<std::string> log = TestLogs::WholeLog("components-32bit.log");
    std::vector<std::string> noPreamble = log;
    noPreamble[1] = "Version 7";
    noPreamble[2] = "Path";
    const struct {
        const char* what;
        std::string bytes;
        size_t line;
        const char* why;
    } cases[] = {
        {"empty file", "", 1, "empty"},
        {"other text", "Hello\r\nworld\r\n", 1, "Starting Zandorel Diagnostics"},
        {"binary",
         std::string("\x7f"
                     "ELF\x01\x01\0\0",
                     8),
         1, "Starting Zandorel"},
        {"UTF-16 without its byte-order mark", std::string("S\0t\0", 4), 1, "Starting Zandorel"},
        {"no version and path lines", TestLogs::Bytes(noPreamble), 2, "Diagnostic Utility Version"},
    };
    for (const auto& c : cases) {
        ReadResult read = ReadReportLog(c.bytes);
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_EQ(read.errorLine, c.line) << c.what << ": " << read.error;
        EXPECT_NE(read.error.find(c.why), std::string::npos) << c.what << ": " << read.error;
    }
}

// A log damaged in places is read: the damaged lines are named, the sections still found.
TEST(ReportLogTest, NamesDamagedLinesAndReadsTheRest) {
    std::vector<std::string> log = TestLogs::WholeLog("components-32bit.log");
    std::string bytes = TestLogs::Bytes(log);
    auto replaced = [&](size_t p_Line, const std::string& p_Text) {
        std::vector<std::string> lines = log;
        lines[p_Line - 1] = p_Text;
        return TestLogs::Bytes(lines);
    };
    std::string lfAt13 = bytes;
    size_t at = 0;
    for (int line = 0; line < 12; ++line) {
        at = lfAt13.find("\r\n", at) + 2;
    }
    lfAt13.erase(lfAt13.find("\r\n", at), 1);
    const struct {
        const char* what;
        std::string bytes;
        size_t line;
        const char* why;
        size_t sections; // headings read
    } cases[] = {
        {"one LF line end", lfAt13, 13, "LF alone", 7},
        {"a NUL byte", replaced(20, std::string("MSVBVM60Testx86: F\0iled", 23)), 20,
         "control character", 7},
        {"version line", replaced(2, "Version 7"), 2, "Diagnostic Utility Version", 7},
        {"heading without its rule", replaced(9, "Windows Tests, again"), 9, "68 hyphens", 7},
        {"stars without empty lines", replaced(6, "text"), 7, "three empty lines", 7},
        {"terminator without its text", replaced(log.size(), "Log Over"), log.size(),
         "Diagnostic Log Terminated", 7},
        {"text after the terminator", bytes + "more\r\n", log.size() + 1, "after the terminator",
         7},
        {"terminator rule alone", replaced(10, std::string(56, '-')), 11, "without \"Diagnostic",
         7},
    };
    for (const auto& c : cases) {
        ReadResult read = ReadReportLog(c.bytes);
        ASSERT_TRUE(read.ok) << c.what << ": " << read.error;
        ASSERT_EQ(read.log.damaged.size(), 1u) << c.what;
        EXPECT_EQ(read.log.damaged[0].number, c.line) << c.what << ": " << read.log.damaged[0].why;
        EXPECT_NE(read.log.damaged[0].why.find(c.why), std::string::npos)
            << c.what << ": " << read.log.damaged[0].why;
        EXPECT_EQ(read.log.sections.size() - 1, c.sections) << c.what;
    }
}

} // namespace
