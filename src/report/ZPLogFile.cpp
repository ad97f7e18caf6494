#include "report/ZPLogFile.h"

#include "logformat/LogFormat.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/textfile.h"
#include "winapi/winapi.h"

using namespace Utilities;

namespace {

using LogFormat::kLineEnd;

// The format's texts are ASCII.
Text Widened(const char* p_Ascii) {
    return Text(p_Ascii, p_Ascii + std::char_traits<char>::length(p_Ascii));
}

const std::string kHeadingOpening = LogFormat::HeadingOpening();
const std::string kHeadingClosing = LogFormat::HeadingClosing();
const Text kTerminatorRule(LogFormat::kTerminatorRuleLength, L'-');
const Text kTerminatorLine = Widened(LogFormat::kTerminatorText);
const Text kFailurePrefix = Widened(LogFormat::kFailurePrefix);
const wchar_t kEraseFailed[] = L"Unable to erase existing log file.";
const wchar_t kNoTempFolder[] = L"Unable to determine the temporary folder for the log file.";
// A log held open without write sharing (a scanner looks at the file that a write has just
// closed) is opened again a few times over a short while.
const int kOpenAttempts = 5;
const DWORD kOpenRetryDelay = 100;

} // namespace

const wchar_t ZPLogFile::kFileName[] = L"Zanprobe7.txt";

void ZPLogFile::Initialize() {
    m_WriteFailed = false;
    Text problem;
    Text folder = GetTempFolder(&problem);
    if (folder.empty()) {
        // Never the root of the current drive instead.
        m_LogFilePath.clear();
        throw ZPError(kApplicationErrorBase,
                      problem.empty() ? Text(kNoTempFolder) : kNoTempFolder + (L" " + problem));
    }
    m_LogFilePath = folder + L"\\" + kFileName;
    // A hidden or system old log counts too: left in place, it would put the old run's lines
    // in front of the new run's.
    if (AnyFileExists(m_LogFilePath) && !DeleteFileA(ToAnsi(m_LogFilePath).c_str())) {
        throw ZPError(kApplicationErrorBase, kEraseFailed);
    }
}

void ZPLogFile::Dispose() {
    m_LogFilePath.clear();
}

void ZPLogFile::WriteToLogFile(const Text& p_TextToLog, bool p_NewHeading) {
    if (m_LogFilePath.empty()) {
        return;
    }
    // Each step is attempted even when an earlier one failed; nothing reaches the caller.
    // A step that fails is remembered, so that the run can tell that its log is not whole.
    AppendingFile file(m_LogFilePath);
    // Once a write has failed the log is not whole whatever follows: no more waiting.
    for (int attempt = 1;
         !m_WriteFailed && attempt < kOpenAttempts && file.OpenError() == ERROR_SHARING_VIOLATION;
         ++attempt) {
        Sleep(kOpenRetryDelay);
        file = AppendingFile(m_LogFilePath);
    }
    bool written = true;
    if (p_NewHeading) {
        written = file.Write(kHeadingOpening) && written;
    }
    written = file.Write(ToAnsi(p_TextToLog) + kLineEnd) && written;
    if (p_NewHeading) {
        written = file.Write(kHeadingClosing) && written;
    }
    if (!written) {
        m_WriteFailed = true;
    }
}

void ZPLogFile::Failure(const Text& p_Text) {
    WriteToLogFile(kFailurePrefix + p_Text, false);
}

void ZPLogFile::CloseLogFile(bool p_OpenAndDisplayToUser) {
    if (m_LogFilePath.empty()) {
        return;
    }
    WriteToLogFile(L"", false);
    WriteToLogFile(kTerminatorRule, false);
    WriteToLogFile(kTerminatorLine, false);
    if (p_OpenAndDisplayToUser) {
        DisplayToUser();
    }
}

void ZPLogFile::DisplayToUser() {
    if (m_LogFilePath.empty()) {
        return;
    }
    ShellExecuteA(nullptr, "open", ToAnsi(m_LogFilePath).c_str(), nullptr, "", SW_SHOWNORMAL);
}

void ZPLogFile::AppendTextFile(const Text& p_SourceFile) {
    ReadTextLines(p_SourceFile, [this](const Text& line) { WriteToLogFile(line, false); });
}
