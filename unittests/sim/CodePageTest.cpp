#include "sim/CodePage.h"

#include <gtest/gtest.h>

using namespace sim;

TEST(SimCodePage, HolesOfTheWesternTableStandForThemselves) {
    EXPECT_EQ(CodePageToWide(1252, "\x81\x8d\x80"), std::wstring(L"\u0081\u008d\u20ac"));
}

TEST(SimCodePage, UnmappableCharactersBecomeTheDefault) {
    bool usedDefault = false;
    EXPECT_EQ(WideToCodePage(1252, L"a\u4e2db", '?', &usedDefault), "a?b");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideToCodePage(1252, L"ab", '?', &usedDefault), "ab");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(WideToCodePage(1252, L"\u4e2d", '#'), "#");
}

TEST(SimCodePage, DoubleByteCodePages) {
    EXPECT_EQ(WideToCodePage(932, L"\u65e5"), "\x93\xfa");
    EXPECT_EQ(CodePageToWide(932, "\x93\xfa"), L"\u65e5");
    // A lead byte without its trail byte stands for itself.
    EXPECT_EQ(CodePageToWide(932, "a\x93"), std::wstring(L"a\u0093"));
}

TEST(SimCodePage, Utf8AndUnknownCodePages) {
    EXPECT_EQ(Utf8ToWide("\xc3\xa9"), L"\u00e9");
    EXPECT_EQ(WideToUtf8(L"\u00e9"), "\xc3\xa9");
    EXPECT_FALSE(IsKnownCodePage(99999));
    EXPECT_TRUE(IsKnownCodePage(1252));
    // Without a converter, Latin-1 passes and the rest becomes the default character.
    EXPECT_EQ(WideToCodePage(99999, L"\u00e9\u4e2d"), "\xe9?");
    EXPECT_EQ(CodePageToWide(99999, "\xe9"), L"\u00e9");
}
