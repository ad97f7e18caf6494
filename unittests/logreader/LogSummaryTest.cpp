#include "logreader/LogSummary.h"

#include "logreader/TestLogs.h"

#include <gtest/gtest.h>

using namespace LogReader;

namespace {

LogSummary SummaryOf(const std::vector<std::string>& p_Lines) {
    ReadResult read = ReadReportLog(TestLogs::Bytes(p_Lines));
    EXPECT_TRUE(read.ok) << read.errorLine << ": " << read.error;
    return Summarize(read.log);
}

TEST(LogSummaryTest, ClassifiesTheLinesThatNeedALook) {
    const struct {
        const char* text;
        bool inStatusSection;
        int kind; // -1: not shown
    } cases[] = {
        {"Skype Test: Failed ()", false, 0},
        {"Test of DEP: Failed: DEP on, ATL Thunk Emulation Off", false, 0},
        {"Plotworks7: Test not run because ZanUtility7 test failed.", false, 0},
        {"Program not found", false, 1},
        {"Status: File mscorlib.dll not found.", false, 1},
        {"HKEY_CURRENT_USER\\x!y does not exist.", false, 1},
        {"<FAILURE> Automation error", false, 2},
        {"<FAILURE> Call Failed", false, 2},
        {"ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (Class not registered)",
         false, 0},
        {"Plotworks7: Unable to create graph mutex.", false, 0},
        {"Status: Passed", true, 3},
        {"Key: HKEY_LOCAL_MACHINE\\SOFTWARE", true, 3},
        {"Skype Test: Passed", false, -1},
        {"If the test fails, the keys listed above should be deleted", false, -1},
        {"HKEY_CURRENT_USER\\...\\TypeLib, value named Version: Not Found", false, -1},
        {"Failure", false, -1},
    };
    for (const auto& c : cases) {
        FindingKind kind = FindingKind::Status;
        bool shown = ClassifyLine(c.text, c.inStatusSection, kind);
        EXPECT_EQ(shown ? static_cast<int>(kind) : -1, c.kind) << c.text;
    }
}

// Only a status that reports success is no finding; a pass that an error cut short is one.
TEST(LogSummaryTest, TellsSuccessfulStatusesFromTheRest) {
    const struct {
        const char* status;
        bool success;
    } cases[] = {
        {"Passed", true},
        {"Passed (no HKEY_CLASSES_ROOT\\Wow6432Node\\Interface\\"
         "{000208D5-0000-0000-C000-000000000046} key, which is OK for 64-bit Excel)",
         true},
        {"Passed (Out of memory)", false},
        {"Failed", false},
        {"Inconclusive: didn't determine version in Interface section of Registry", false},
        {"passed", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSuccessStatus(c.status), c.success) << c.status;
    }
}

// The text without its explanations, and how many findings have one.
std::string WithoutExplanations(const std::string& p_Text, size_t& p_Explained) {
    std::string kept;
    p_Explained = 0;
    size_t start = 0;
    while (start < p_Text.size()) {
        size_t end = p_Text.find('\n', start) + 1;
        std::string line = p_Text.substr(start, end - start);
        if (line.rfind("      Meaning: ", 0) == 0) {
            ++p_Explained;
        } else if (line.rfind("      Action: ", 0) != 0) {
            kept += line;
        }
        start = end;
    }
    return kept;
}

TEST(LogSummaryTest, PrintsTheFindingsOfAGoldenLogBySection) {
    std::vector<std::string> lines = TestLogs::WholeLog("components-32bit.log");
    lines.insert(lines.begin() + 11, "<FAILURE> Test \"quoted\" \x80 5");
    size_t explained = 0;
    std::string text =
        WithoutExplanations(SummaryText(SummaryOf(lines), "Zanprobe7.txt"), explained);
    EXPECT_EQ(explained, 8u);
    EXPECT_EQ(text, "Summary of Zanprobe7.txt (59 lines)\n"
                    "\n[Windows Tests]\n"
                    "  12: <FAILURE> Test \"quoted\" \xE2\x82\xAC 5\n"
                    "\n[VB6 System Tests]\n"
                    "  19: Skype Test: Failed ()\n"
                    "  20: MSVBVM60Testx86: Failed (Registry value not found.)\n"
                    "\n[VC2013 System Tests]\n"
                    "  28: Existence Test: Failed\n"
                    "\n[Basic Excel Information]\n"
                    "  35: Program not found\n"
                    "\n[Basic Project Information]\n"
                    "  48: Program not found\n"
                    "\n[MRL 7.x System Tests]\n"
                    "  55: ZanUtility7: File \\ZanUtility7.dll not found\n"
                    "  56: Plotworks7: Test not run because ZanUtility7 test failed.\n"
                    "\n7 sections: 4 failed, 3 missing, 1 failure marker, 0 status lines\n"
                    "The log is complete.\n");

    lines.resize(30);
    std::string json = SummaryJson(SummaryOf(lines), "C:\\a \"b\".txt");
    EXPECT_EQ(
        json.rfind("{\"file\": \"C:\\\\a \\\"b\\\".txt\", \"lines\": 30, \"complete\": false, "
                   "\"cutAfterLine\": 30,",
                   0),
        0u)
        << json;
    EXPECT_NE(
        json.find("{\"line\": 12, \"kind\": \"failure marker\", \"text\": \"<FAILURE> "
                  "Test \\\"quoted\\\" \xE2\x82\xAC 5\", \"rule\": \"Unexpected failure inside "
                  "a test\", \"meaning\": \"A test met an error"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find("\"counts\": {\"sections\": 3, \"failed\": 3, \"missing\": 0, "
                        "\"failureMarkers\": 1, \"statusLines\": 0}}"),
              std::string::npos)
        << json;
}

TEST(LogSummaryTest, ShowsTheConsistencyStatusesOfTheInspectionLog) {
    LogSummary summary = SummaryOf(TestLogs::Inspection());
    EXPECT_EQ(summary.sectionCount, 30u);
    EXPECT_EQ(summary.counts[0], 2u);
    EXPECT_EQ(summary.counts[1], 9u);
    EXPECT_EQ(summary.counts[3], 3u); // "Failed" and its key and path; "Passed" is no finding
    std::vector<std::string> statusSections;
    for (const SectionFindings& section : summary.sections) {
        if (section.findings[0].kind == FindingKind::Status) {
            statusSections.push_back(section.heading + " " + section.findings[0].line.text);
        }
    }
    EXPECT_EQ(statusSections,
              (std::vector<std::string>{
                  "Test of registered Excel type library locations. Status: Failed"}));
}

} // namespace
