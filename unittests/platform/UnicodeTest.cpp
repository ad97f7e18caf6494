#include "platform/unicode.h"
#include "support/SimMachineTest.h"

using namespace Utilities;

class UnicodeTest : public SimMachineTest {};

TEST_F(UnicodeTest, AnsiInTheMachineCodePage) {
    EXPECT_EQ(ToAnsi(L"Caf\u00e9 \u20ac \u0100 \u4e2d"), "Caf\xe9 \x80 ? ?");
    EXPECT_EQ(FromAnsi("Caf\xe9 \x80"), L"Caf\u00e9 \u20ac");
    Machine().codePage = 1251;
    EXPECT_EQ(ToAnsi(L"\u0416\u00e9"), "\xc6?");
    EXPECT_EQ(FromAnsi("\xc6"), L"\u0416");
}

TEST_F(UnicodeTest, EmbeddedNulsSurvive) {
    EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), Text(L"a\0b", 3));
    EXPECT_EQ(ToAnsi(Text(L"a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(ToAnsi(L""), "");
}

TEST_F(UnicodeTest, UpperCaseAndTrim) {
    EXPECT_EQ(ToUpper(L"abc\u00e9"), L"ABC\u00c9");
    EXPECT_EQ(Trim(L"  a b  "), L"a b");
    EXPECT_EQ(Trim(L"\ta "), L"\ta");
    EXPECT_EQ(Trim(L"   "), L"");
}
