// The local time and the user's date and time formats on the simulated machine.
#include "sim/Ansi.h"
#include "sim/DateTime.h"
#include "sim/Errors.h"
#include "sim/Machine.h"

#include <ctime>

using namespace sim;

namespace {

const wchar_t* const kDayNames[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthNames[] = {L"January",   L"February", L"March",    L"April",
                                      L"May",       L"June",     L"July",     L"August",
                                      L"September", L"October",  L"November", L"December"};

std::wstring Number(unsigned value, size_t digits) {
    std::wstring text = std::to_wstring(value);
    while (text.size() < digits) {
        text.insert(text.begin(), L'0');
    }
    return text;
}

SYSTEMTIME Now() {
    const Machine& machine = CurrentMachine();
    if (machine.fixedLocalTime) {
        return *machine.fixedLocalTime;
    }
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    SYSTEMTIME time = LocalTimeOf(now.tv_sec);
    time.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
    return time;
}

} // namespace

std::wstring sim::RenderPicture(const std::wstring& picture, const SYSTEMTIME& time) {
    const Machine& machine = CurrentMachine();
    std::wstring out;
    size_t i = 0;
    while (i < picture.size()) {
        wchar_t c = picture[i];
        if (c == L'\'') {
            size_t end = i + 1;
            while (end < picture.size()) {
                if (picture[end] == L'\'' && end + 1 < picture.size() &&
                    picture[end + 1] == L'\'') {
                    out += L'\'';
                    end += 2;
                } else if (picture[end] == L'\'') {
                    break;
                } else {
                    out += picture[end++];
                }
            }
            i = end + 1;
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) {
            ++run;
        }
        unsigned hour12 = time.wHour % 12 == 0 ? 12 : time.wHour % 12;
        bool pm = time.wHour >= 12;
        size_t digits = run >= 2 ? 2 : 1;
        // A day or month: its number, with two digits, its name's first three letters, its name.
        auto named = [&](unsigned number, const wchar_t* name) {
            return run <= 2 ? Number(number, run)
                            : std::wstring(name).substr(0, run == 3 ? 3 : std::wstring::npos);
        };
        switch (c) {
        case L'd':
            out += named(time.wDay, kDayNames[time.wDayOfWeek % 7]);
            break;
        case L'M':
            out += named(time.wMonth, kMonthNames[(time.wMonth + 11) % 12]);
            break;
        case L'y':
            out += run <= 2 ? Number(time.wYear % 100, run) : Number(time.wYear, 4);
            break;
        case L'h':
            out += Number(hour12, digits);
            break;
        case L'H':
            out += Number(time.wHour, digits);
            break;
        case L'm':
            out += Number(time.wMinute, digits);
            break;
        case L's':
            out += Number(time.wSecond, digits);
            break;
        case L't': {
            std::wstring designator = pm ? machine.pmDesignator : machine.amDesignator;
            out += run == 1 ? designator.substr(0, 1) : designator;
            break;
        }
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

SYSTEMTIME sim::LocalTimeOf(time_t when) {
    tm local;
    localtime_r(&when, &local);
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(local.tm_year + 1900);
    time.wMonth = static_cast<WORD>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time.wDay = static_cast<WORD>(local.tm_mday);
    time.wHour = static_cast<WORD>(local.tm_hour);
    time.wMinute = static_cast<WORD>(local.tm_min);
    time.wSecond = static_cast<WORD>(local.tm_sec);
    return time;
}

void WINAPI GetLocalTime(SYSTEMTIME* lpSystemTime) {
    if (lpSystemTime != nullptr) {
        *lpSystemTime = Now();
    }
}

int WINAPI GetDateFormatA(LCID, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat,
                          LPSTR lpDateStr, int cchDate) {
    if (cchDate < 0 || (lpFormat != nullptr && (dwFlags & (DATE_SHORTDATE | DATE_LONGDATE)) != 0)) {
        return Fail(ERROR_INVALID_FLAGS, 0);
    }
    const Machine& machine = CurrentMachine();
    std::wstring picture = lpFormat != nullptr              ? FromAnsiArgument(lpFormat)
                           : (dwFlags & DATE_LONGDATE) != 0 ? machine.longDatePicture
                                                            : machine.shortDatePicture;
    // The sizes count the NUL.
    return CopyCounted(
        ToMachineAnsi(RenderPicture(picture, lpDate != nullptr ? *lpDate : Now()) + L'\0'),
        lpDateStr, cchDate);
}

int WINAPI GetTimeFormatA(LCID, DWORD, const SYSTEMTIME* lpTime, LPCSTR lpFormat, LPSTR lpTimeStr,
                          int cchTime) {
    if (cchTime < 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    std::wstring picture =
        lpFormat != nullptr ? FromAnsiArgument(lpFormat) : CurrentMachine().longTimePicture;
    return CopyCounted(
        ToMachineAnsi(RenderPicture(picture, lpTime != nullptr ? *lpTime : Now()) + L'\0'),
        lpTimeStr, cchTime);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    CurrentMachine().sleptMilliseconds += dwMilliseconds;
}
