// How the sections turn failures into status text or go on after them.
#include "report/SectionOutput.h"
#include "platform/error.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(SectionSupportTest, FailureEndsTheStepsAndIsAppendedToTheStatusAsItStood) {
    Text status = L"Passed";
    bool after = false;
    RunStepsIntoStatus(status, [&] {
        throw ZPError(52, L"Bad file name or number");
        after = true;
    });
    EXPECT_EQ(status, L"Passed (Bad file name or number)");
    EXPECT_FALSE(after);

    status.clear();
    RunStepsIntoStatus(status, [] { throw std::runtime_error("out of memory"); });
    EXPECT_EQ(status, L" (out of memory)");

    status = L"Failed";
    RunStepsIntoStatus(status, [&] { status = L"Passed"; });
    EXPECT_EQ(status, L"Passed");
}

TEST(SectionSupportTest, IgnoredFailureLetsTheNextStatementRun) {
    int done = 0;
    IgnoreErrors([] { throw ZPError(53, L"File not found"); });
    IgnoreErrors([&] { ++done; });
    EXPECT_EQ(done, 1);
}
