// Whole runs compared with the expected logs beside this file, every section in its place: the
// order of the steps, the sections that depend on the machine's bitness, and the status label
// during the run.
#include "app/FormMain.h"
#include "golden/GoldenLog.h"
#include "golden/GoldenRunTest.h"
#include "logformat/LogFormat.h"
#include "run/Diagnostics.h"
#include "support/FakeFormView.h"

#include <set>

namespace {

// The headings that go into the log only: the Office and Project information, the type library
// blocks, the security settings report and the policy trusted locations.
bool LogOnlyHeading(const std::string& p_Heading) {
    static const std::set<std::string> fixed = {
        "Basic Excel Information",
        "Excel Automatic Startup Directories",
        "Basic Project Information",
        "Excel COM Type Library Registrations",
        "32-bit (Wow6432Node) registrations of some objects within Excel COM Type Library "
        "(Application, Workbook, Range, etc.)",
        "Office COM Type Library Registrations",
        "Project COM Type Library Registrations",
        "The security settings below should not affect the ability to run our software, but they "
        "may affect the ability to use workbooks with macros.",
        "Group Policy can also specify trusted locations for all Office applications."};
    return fixed.count(p_Heading) != 0 || p_Heading.rfind("Security Settings for ", 0) == 0;
}

// The headings of a log's heading blocks, in order.
std::vector<std::string> Headings(const std::vector<std::string>& p_Lines) {
    std::vector<std::string> headings;
    for (size_t i = 0; i + 2 < p_Lines.size(); ++i) {
        if (p_Lines[i] == LogFormat::HeadingStars() &&
            p_Lines[i + 2] == LogFormat::HeadingHyphens()) {
            headings.push_back(p_Lines[i + 1]);
        }
    }
    return headings;
}

} // namespace

TEST_F(GoldenRunTest, WholeRunOnSixtyFourBitMachineWithSixtyFourBitOfficeAndEverything) {
    Machine().is64Bit = true;
    SeedOfficeAndSettings();
    SeedRuntimesAndComponents("C:\\Program Files\\Microsoft Office\\Root\\Office16", 0x8664);

    // The run as the window starts it: the status label shows each section heading written
    // for the window, and none of the headings that go into the log only.
    // Every handle the run opens (searches, commands, the component tests' mutex) is closed.
    FakeFormView::Record record;
    g_FormMain = std::make_unique<FormMain>(std::make_unique<FakeFormView>(record));
    size_t handlesBefore = OpenHandles();
    std::vector<std::string> lines = RunLog();
    EXPECT_EQ(OpenHandles(), handlesBefore);
    // Every COM object the run created (each component passed) is released again.
    for (const auto& entry : Machine().comClasses) {
        EXPECT_EQ(entry.second.liveObjects, 0) << Utilities::ToUtf8(entry.first);
    }
    g_FormMain.reset();
    ExpectLog(lines, "whole-64bit.log");

    std::vector<Text> expected;
    for (const std::string& heading : Headings(lines)) {
        if (!LogOnlyHeading(heading)) {
            expected.push_back(L"Running Diagnostic Test\r\n" + Utilities::FromUtf8(heading));
        }
    }
    EXPECT_EQ(record.statusTexts, expected);
    EXPECT_EQ(record.repaints, static_cast<int>(expected.size()));
}

TEST_F(GoldenRunTest, WholeRunOnSixtyFourBitWindowsWithThirtyTwoBitOffice) {
    Machine().is64Bit = true;
    SeedRuntimesAndComponents("C:\\Program Files (x86)\\Microsoft Office\\root\\Office15", 0x14c);
    ExpectLog(RunLog(), "whole-64bit-office32.log");
}

// The log readers' tests take the component sections of this run as their sample.
TEST_F(GoldenRunTest, WholeRunOnMinimalThirtyTwoBitMachine) {
    std::vector<std::string> lines = RunLog();
    ExpectLog(lines, "whole-32bit-minimal.log");
    ExpectLog(GoldenLog::SelectSections(lines, GoldenLog::kComponentSections, true),
              "components-32bit.log");
}

// An error that escapes a step in the middle of the run: memory runs out while the suite folder
// step, which handles no failures itself, reads the suite's key. The later steps do not run,
// the terminator block follows the heading written last, the outcome names the error and is
// not in the log, and no viewer opens.
TEST_F(GoldenRunTest, ErrorInTheMiddleOfTheRunEndsItAfterTheLastLineWritten) {
    Machine().faults.push_back(
        {"RegOpenKeyExA", L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", sim::kMemoryExhausted});
    EXPECT_EQ(Diagnostics::RunDiagnostics(), L"Diagnostics Failed: Out of memory");
    EXPECT_TRUE(Machine().openedDocuments.empty());

    std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Zandorel Directory Locations");
    EXPECT_EQ(lines[lines.size() - 2], LogFormat::TerminatorRule());
    EXPECT_EQ(lines.back(), LogFormat::kTerminatorText);
    EXPECT_EQ(Log().find("Diagnostics Failed"), std::string::npos);
    EXPECT_EQ(Log().find("MRL 7.x System Tests"), std::string::npos);
}
