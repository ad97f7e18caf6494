#include "platform/versions.h"
#include "platform/error.h"

#include <gtest/gtest.h>

using namespace Utilities;

namespace {

struct Parsed {
    bool ok;
    int32_t major, minor, build, revision;
    bool operator==(const Parsed& other) const {
        return ok == other.ok && major == other.major && minor == other.minor &&
               build == other.build && revision == other.revision;
    }
};

Parsed Parse(const Text& text) {
    Parsed parsed{};
    parsed.major = parsed.minor = parsed.build = parsed.revision = -1;
    parsed.ok = ParseVersion(text, parsed.major, parsed.minor, parsed.build, parsed.revision);
    return parsed;
}

std::ostream& operator<<(std::ostream& out, const Parsed& p) {
    return out << p.ok << " " << p.major << "." << p.minor << "." << p.build << "." << p.revision;
}

} // namespace

TEST(GetNextSubString, WalksADelimitedList) {
    Text text = L"14.0.25";
    EXPECT_EQ(GetNextSubString(text, L"."), L"14");
    EXPECT_EQ(text, L"0.25");
    EXPECT_EQ(GetNextSubString(text, L"."), L"0");
    EXPECT_EQ(GetNextSubString(text, L"."), L"25");
    EXPECT_EQ(text, L"");
    EXPECT_EQ(GetNextSubString(text, L"."), L"");
    EXPECT_EQ(text, L"");
}

TEST(GetNextSubString, DelimiterAtTheEndAndInARow) {
    Text text = L"7.";
    EXPECT_EQ(GetNextSubString(text, L"."), L"7");
    EXPECT_EQ(text, L"");
    text = L"a..b";
    EXPECT_EQ(GetNextSubString(text, L"."), L"a");
    EXPECT_EQ(GetNextSubString(text, L"."), L"");
    EXPECT_EQ(GetNextSubString(text, L"."), L"b");
}

TEST(GetNextSubString, DelimiterFoundWithoutRegardToCase) {
    Text text = L"OneANDtwoandThree";
    EXPECT_EQ(GetNextSubString(text, L"and"), L"One");
    EXPECT_EQ(GetNextSubString(text, L"AND"), L"two");
    EXPECT_EQ(text, L"Three");
}

TEST(GetNextSubString, EmptyDelimiterIsAnArgumentError) {
    Text empty;
    EXPECT_EQ(GetNextSubString(empty, L""), L"");
    Text text = L"abc";
    try {
        GetNextSubString(text, L"");
        FAIL() << "no error";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Number(), 5);
        EXPECT_EQ(error.Description(), L"Invalid procedure call or argument");
    }
    Text huge(40000, L'x');
    EXPECT_THROW(GetNextSubString(huge, L"."), ZPError);
}

TEST(ParseVersion, AcceptedForms) {
    EXPECT_EQ(Parse(L"14.0"), (Parsed{true, 14, 0, 0, 0}));
    EXPECT_EQ(Parse(L"7.5.1.2"), (Parsed{true, 7, 5, 1, 2}));
    EXPECT_EQ(Parse(L"1.2.3.4.5"), (Parsed{true, 1, 2, 3, 4}));
    EXPECT_EQ(Parse(L"7."), (Parsed{true, 7, 0, 0, 0}));
    EXPECT_EQ(Parse(L"  7.5  "), (Parsed{true, 7, 5, 0, 0}));
    EXPECT_EQ(Parse(L"9999.9999.9999.9999"), (Parsed{true, 9999, 9999, 9999, 9999}));
    EXPECT_EQ(Parse(L"1..5"), (Parsed{true, 1, 0, 0, 0}));
}

TEST(ParseVersion, RejectedFormsKeepWhatWasStored) {
    EXPECT_EQ(Parse(L"0.1"), (Parsed{false, 0, 0, 0, 0}));
    EXPECT_EQ(Parse(L"7.x"), (Parsed{false, 7, 0, 0, 0}));
    EXPECT_EQ(Parse(L"7.5.1.y"), (Parsed{false, 7, 5, 1, 0}));
    EXPECT_EQ(Parse(L"10000.0"), (Parsed{false, 0, 0, 0, 0}));
    EXPECT_EQ(Parse(L""), (Parsed{false, 0, 0, 0, 0}));
    EXPECT_EQ(Parse(L"   "), (Parsed{false, 0, 0, 0, 0}));
    EXPECT_EQ(Parse(L".5"), (Parsed{false, 0, 0, 0, 0}));
    EXPECT_EQ(Parse(L"7.-1"), (Parsed{false, 7, 0, 0, 0}));
    EXPECT_EQ(Parse(L"7.1.5"), (Parsed{true, 7, 1, 5, 0}));
}

TEST(IsWholeNumberInRange, Bounds) {
    EXPECT_TRUE(IsWholeNumberInRange(L"5", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"5.5", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L"5.0", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"-1", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"abc", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L"0", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L"9999", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"10000", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L" 12 ", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L"1e3", 0, 9999));
    EXPECT_TRUE(IsWholeNumberInRange(L"&H1F", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"1e", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"1 2", 0, 9999));
    EXPECT_FALSE(IsWholeNumberInRange(L"1e999", 0, 9999));
}

TEST(IsWholeNumberInRange, CrossedBoundsAreAnArgumentError) {
    try {
        IsWholeNumberInRange(L"5", 10, 1);
        FAIL() << "no error";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Number(), 5);
        EXPECT_EQ(error.Description(), L"Invalid procedure call or argument");
    }
}
