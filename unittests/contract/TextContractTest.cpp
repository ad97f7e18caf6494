// Contract of the seam for code page conversions, letter case and date and time formats.
#include "winapi/winapi.h"

#include <gtest/gtest.h>
#include <string>

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    return SYSTEMTIME{year, month, 0, day, hour, minute, second, 0};
}

std::string Date(const SYSTEMTIME& time, const char* picture) {
    char buffer[128] = {};
    int length = GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, picture, buffer, sizeof buffer);
    EXPECT_EQ(length, static_cast<int>(std::string(buffer).size()) + 1);
    return buffer;
}

std::string Time(const SYSTEMTIME& time, const char* picture) {
    char buffer[128] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, picture, buffer, sizeof buffer);
    return buffer;
}

} // namespace

TEST(CodePageContract, WesternCodePageWithoutBestFit) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the machine's ANSI code page is " << GetACP();
    }
    const wchar_t text[] = L"a\u00e9\u20ac\u0100";
    char bytes[16] = {};
    BOOL usedDefault = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, 4, bytes, sizeof bytes,
                                     nullptr, &usedDefault);
    ASSERT_EQ(length, 4);
    EXPECT_EQ(std::string(bytes, 4), "a\xe9\x80?");
    EXPECT_TRUE(usedDefault);

    // The size needed, without a buffer.
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, nullptr),
        5);

    wchar_t wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xe9\x80z", 3, wide, 8), 3);
    EXPECT_EQ(std::wstring(wide, 3), L"\u00e9\u20acz");
}

TEST(CodePageContract, Utf8RoundTrip) {
    const char utf8[] = "\xc3\xa9\xe2\x82\xac";
    wchar_t wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, 5, wide, 8), 2);
    EXPECT_EQ(std::wstring(wide, 2), L"\u00e9\u20ac");
    char back[8] = {};
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, 2, back, sizeof back, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(back, 5), std::string(utf8, 5));
}

TEST(LetterCaseContract, UpperCaseBeyondAscii) {
    wchar_t text[] = L"abc\u00e9\u00ff1.x";
    EXPECT_EQ(CharUpperBuffW(text, 8), 8u);
    EXPECT_EQ(std::wstring(text), L"ABC\u00c9\u01781.X");
}

TEST(DateFormatContract, PicturesOfDateAndTime) {
    SYSTEMTIME afternoon = At(2026, 3, 7, 14, 5, 9);
    EXPECT_EQ(Date(afternoon, "M/d/yyyy"), "3/7/2026");
    EXPECT_EQ(Date(afternoon, "dd.MM.yy"), "07.03.26");
    EXPECT_EQ(Date(afternoon, "yyyy'-'MM'-'dd"), "2026-03-07");
    EXPECT_EQ(Time(afternoon, "HH:mm:ss"), "14:05:09");
    EXPECT_EQ(Time(At(2026, 3, 7, 0, 5, 9), "h:mm:ss"), "12:05:09");
}

TEST(DateFormatContract, UserFormatsGiveTextAndSizes) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2000);
    int needed = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, nullptr, 0);
    EXPECT_GT(needed, 1);
    char date[64] = {};
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date),
              needed);
    char time[64] = {};
    EXPECT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time), 1);
    char tiny[2] = {};
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, tiny, sizeof tiny),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
