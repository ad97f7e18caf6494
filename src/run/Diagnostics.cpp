#include "run/Diagnostics.h"

#include "logformat/LogFormat.h"
#include "platform/com.h"
#include "platform/error.h"
#include "version.h"
#include "winapi/winapi.h"

#include <iterator>
#include <string>

using namespace Utilities;

namespace Diagnostics {

namespace {

const wchar_t kFailedPrefix[] = L"Diagnostics Failed: ";
const wchar_t kLogNotWritten[] = L"Unable to write the log file ";

// The current date in the user's short date format, a blank, and the current time in the
// user's long time format.
Text CurrentDateAndTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[256] = {};
    char time[256] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time);
    return FromAnsi(date) + L" " + FromAnsi(time);
}

void WritePreamble() {
    const Text values[] = {CurrentDateAndTime(), FromUtf8(ZANPROBE_VERSION_TEXT),
                           g_LogFile->LogFilePath()};
    for (size_t i = 0; i < std::size(values); ++i) {
        g_LogFile->WriteToLogFile(FromUtf8(LogFormat::kPreambleStarts[i]) + values[i], false);
    }
}

} // namespace

Text RunDiagnostics() {
    Text outcome;
    try {
        g_LogFile = std::make_unique<ZPLogFile>();
        g_LogFile->Initialize();
        WritePreamble();
        for (RunStep step : RunSteps()) {
            step();
        }
    } catch (const std::exception& error) {
        outcome = kFailedPrefix + FailureDescription(error);
    }
    if (g_LogFile) {
        g_LogFile->CloseLogFile(false);
        // A log that could not be written whole (terminator included) is no completed run: the
        // user is told so and no viewer shows a partial file.
        if (outcome.empty() && g_LogFile->WriteFailed()) {
            outcome = Text(kFailedPrefix) + kLogNotWritten + g_LogFile->LogFilePath();
        }
        if (outcome.empty()) {
            g_LogFile->DisplayToUser();
        }
    }
    // The run's objects are released; their servers need not stay loaded until the next run.
    ReleaseUnusedServers();
    return outcome;
}

} // namespace Diagnostics
