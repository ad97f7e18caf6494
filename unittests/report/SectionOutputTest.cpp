// How the sections turn failures into status text or go on after them.
#include "report/SectionOutput.h"
#include "platform/error.h"

#include <gtest/gtest.h>
#include <new>
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
    RunStepsIntoStatus(status, [] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(status, L" (disk on fire)");

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

TEST(SectionSupportTest, StandardFailuresReadAsTheRuntimeSaysThem) {
    EXPECT_EQ(FailureDescription(std::bad_alloc()), L"Out of memory");
    EXPECT_EQ(FailureDescription(std::length_error("vector")), L"Out of memory");
    EXPECT_EQ(FailureDescription(std::out_of_range("at")), L"Subscript out of range");
    EXPECT_EQ(FailureDescription(std::overflow_error("o")), L"Overflow");
    EXPECT_EQ(FailureDescription(ZPError(52, L"Bad file name or number")),
              L"Bad file name or number");
}
