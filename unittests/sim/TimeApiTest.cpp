#include "support/SimMachineTest.h"
#include "winapi/winapi.h"

class SimTimeTest : public SimMachineTest {
protected:
    std::string Date(DWORD flags) {
        char buffer[128] = {};
        GetDateFormatA(LOCALE_USER_DEFAULT, flags, nullptr, nullptr, buffer, sizeof buffer);
        return buffer;
    }
    std::string Time() {
        char buffer[128] = {};
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer);
        return buffer;
    }
};

TEST_F(SimTimeTest, DefaultPicturesOfTheMachine) {
    EXPECT_EQ(Date(DATE_SHORTDATE), "12/8/2026");
    EXPECT_EQ(Date(DATE_LONGDATE), "Tuesday, December 8, 2026");
    EXPECT_EQ(Time(), "3:04:05 PM");
}

TEST_F(SimTimeTest, PicturesWithQuotesAndDesignators) {
    Machine().shortDatePicture = L"yyyy'年'M'月'd'日'";
    Machine().codePage = 932;
    EXPECT_EQ(Date(DATE_SHORTDATE), "2026\x94\x4e"
                                    "12\x8c\x8e"
                                    "8\x93\xfa");
    Machine().longTimePicture = L"tt hh:mm 'o''clock'";
    Machine().pmDesignator = L"nachm.";
    EXPECT_EQ(Time(), "nachm. 03:04 o'clock");
    Machine().longTimePicture = L"H:m:s t";
    EXPECT_EQ(Time(), "15:4:5 n");
}

TEST_F(SimTimeTest, HostClockWhenNotFixed) {
    Machine().fixedLocalTime.reset();
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_GE(now.wYear, 2024);
    EXPECT_GE(now.wMonth, 1);
    EXPECT_LE(now.wMonth, 12);
}
