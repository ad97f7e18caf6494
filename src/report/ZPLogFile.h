// The report log: one plain-text file in the user's temporary folder that every section
// writes to. The file is never held open: every write opens it, appends and closes it, so
// that commands run between two writes can append to it too and the file on disk is
// complete after every call.
#pragma once

#include "platform/unicode.h"

class ZPLogFile {
public:
    // Sets the log path and erases an existing log; raises "Unable to erase existing log
    // file." when that file cannot be deleted (the path stays set), and raises without a path
    // when the temporary folder cannot be determined.
    void Initialize();
    // Forgets the path; the file stays on disk and further writes do nothing.
    void Dispose();
    // The log's full path; "" before Initialize and after Dispose.
    const Text& LogFilePath() const { return m_LogFilePath; }

    // Appends a plain line, or a heading block when p_NewHeading is true. Never reports.
    void WriteToLogFile(const Text& p_TextToLog, bool p_NewHeading);
    // Appends the line "<FAILURE> " followed by p_Text.
    void Failure(const Text& p_Text);
    // Appends the terminator block, then hands the log to the user's viewer when asked to.
    void CloseLogFile(bool p_OpenAndDisplayToUser);
    // Asks the shell to open the log with the program associated with ".txt" files.
    void DisplayToUser();
    // Copies every line of a text file into the log as plain lines; a missing or unreadable
    // file copies nothing.
    void AppendTextFile(const Text& p_SourceFile);

    // Whether a write since Initialize failed (the file could not be opened or written), so
    // that the log on disk is not whole.
    bool WriteFailed() const { return m_WriteFailed; }

    // The log's file name in the temporary folder.
    static const wchar_t kFileName[];

private:
    Text m_LogFilePath;
    bool m_WriteFailed = false;
};
