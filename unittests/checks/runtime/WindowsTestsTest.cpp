// The Data Execution Prevention section on simulated machines, kernel32 functions missing
// included.
#include "checks/runtime/WindowsTests.h"
#include "report/SectionOutput.h"
#include "support/SectionTest.h"

namespace {

using LineList = std::vector<std::string>;
const std::string kSystem = "Test of Data Execution Prevention (System Setting): ";
const std::string kProcess = "Test of Data Execution Prevention (Process Settings): ";

} // namespace

class WindowsTestsTest : public SectionTest {
protected:
    LineList Run() { return LinesOf(WindowsTests::RunWindowsTests); }
};

TEST_F(WindowsTestsTest, SystemPolicies) {
    Machine().depSystemPolicy = 2;
    WindowsTests::RunWindowsTests();
    EXPECT_EQ(Log(),
              Heading("Windows Tests") + Line(kSystem + "Passed (2)") + Line(kProcess + "Passed"));
    const std::pair<DWORD, std::string> cases[] = {
        {0, "Passed (0)"}, {1, "Failed (1)"}, {3, "Passed (3)"}, {4, "Failed (4)"}};
    for (const auto& policy : cases) {
        Machine().depSystemPolicy = policy.first;
        EXPECT_EQ(Run()[1], kSystem + policy.second);
    }
}

TEST_F(WindowsTestsTest, ProcessFlags) {
    const std::pair<DWORD, std::string> cases[] = {{0, "Passed"},
                                                   {1, "Passed"},
                                                   {2, "Passed"},
                                                   {3, "Failed: DEP on, ATL Thunk Emulation Off"}};
    for (const auto& flags : cases) {
        Machine().depProcessFlags = flags.first;
        EXPECT_EQ(Run()[2], kProcess + flags.second);
    }
    // A query that reports failure proves nothing, and the line says so.
    Machine().depProcessQueryFails = true;
    EXPECT_EQ(Run()[2], kProcess + "Failed: the process's DEP settings could not be read");
}

TEST_F(WindowsTestsTest, MissingFunctions) {
    Machine().depProcessFlags = 3;
    Machine().missingKernel32Functions = {"GetSystemDEPPolicy"};
    EXPECT_EQ(Run(), (LineList{"Windows Tests", kSystem + "Failed (0)",
                               kProcess + "Failed: DEP on, ATL Thunk Emulation Off"}));
    for (const char* missing : {"GetProcessDEPPolicy", "OpenProcess", "GetCurrentProcessId"}) {
        Machine().missingKernel32Functions = {missing};
        EXPECT_EQ(Run(), (LineList{"Windows Tests", kSystem + "Passed (2)"})) << missing;
    }
}
